#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The masters a MasterServers.vdf names, "host:port" each, in the order a GoldSrc game
/// asks them: those of the "hl1" group and those standing under the top key with no group
/// first, then every other group's, each named once. Fails with a KeyValuesError when the
/// text is not such a file; a NUL after the text (some files end in one) is ignored.
std::vector<std::string> mastersOfMasterServersText(std::string_view text);

/// A master list's masters in the two ranks the game asks them in.
struct MasterGroups {
    std::vector<std::string> goldSrc; // the "hl1" group's and those standing under the top key
    std::vector<std::string> others;  // every other group's
};
MasterGroups masterGroupsOfMasterServersText(std::string_view text);

/// The files of a game folder that name its masters, in the game's backslash spelling.
std::vector<std::string> masterServersFilesOf(const std::string& gameFolder);

/// The game directory a game folder is played with: the first mod folder of Valve's
/// games that stands beside hl.exe ("cstrike" before "valve"), "cstrike" when none does.
std::string modOfGameFolder(const std::string& gameFolder);

/// What reading a game folder's master lists found.
struct GameMasters {
    std::vector<std::string> masters;  // every file's GoldSrc masters, then every file's others, each once
    std::vector<std::string> read;     // the files that were read
    std::vector<std::string> problems; // "FILE: what is wrong", for files that exist
};
/// Reads every master list of the folder (the one holding hl.exe, or hl.exe itself) that exists.
GameMasters readGameMasters(const std::string& gameFolderOrGame);

} // namespace qm
