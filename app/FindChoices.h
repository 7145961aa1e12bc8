#pragma once
#include "find/MasterProtocol.h"

#include <optional>
#include <string>

namespace qm {

class ProfileFile;

/// Where a search looks for servers.
enum class FindSource { GameMasters, TypedMasters, SteamList };

/// What the player chose in the "Find servers" window, kept in userpref.ini's [Find]
/// section between runs of the program. The Steam key is kept apart, and only on request.
struct FindChoices {
    FindSource source = FindSource::GameMasters;
    std::string masters; // typed, as typed
    bool everyMaster = false;
    ServerFilter filter;
    int region = kAllRegions;
    int limit = 0; // 0: the default
};

/// The choices stored in the file; nothing when none were ever stored.
std::optional<FindChoices> readFindChoices(const ProfileFile& file);
/// Stores the choices with one write of the file; a failure is thrown (FileError).
void writeFindChoices(ProfileFile& file, const FindChoices& choices);

/// The source a first search starts from: the game folder's masters when a game folder is
/// chosen, else Steam's list when Steam is on this computer, else the game folder's
/// masters still (whose absence the window then explains).
FindSource defaultFindSource(const std::string& gameFolder, bool steamFolderFound);

/// Why the game folder gives no master to ask, in the platform's own path spelling.
std::string noGameMastersReason(const std::string& gameFolder);

} // namespace qm
