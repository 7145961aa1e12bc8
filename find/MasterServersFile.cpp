#include "find/MasterServersFile.h"

#include "keyvalues/KeyValues.h"
#include "platform/FileError.h"
#include "platform/FsPath.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace qm {

namespace {

bool namedIgnoringCase(std::string_view key, std::string_view name) {
    return asciiLowered(key) == name;
}

// The "addr" of a master's block.
void addAddressOf(const KeyValuesNode& entry, std::vector<std::string>& out) {
    const std::string address = unescapedKeyValuesText(entry.valueOf("addr"));
    if (!trimmed(address, true).empty()) out.emplace_back(trimmed(address, true));
}

// The "addr" of each numbered block of `group`.
void addressesOf(const KeyValuesNode& group, std::vector<std::string>& out) {
    for (const KeyValuesNode& entry : group.children())
        if (entry.isBlock()) addAddressOf(entry, out);
}

// A block of blocks with an "addr" is a group; a block with one is a master of its own.
bool isMasterEntry(const KeyValuesNode& node) {
    return node.isBlock() && node.child("addr") != nullptr;
}

void addOnce(const std::vector<std::string>& from, std::vector<std::string>& to,
             std::unordered_set<std::string>& seen) {
    for (const std::string& m : from) {
        if (seen.insert(asciiLowered(m)).second) to.push_back(m);
    }
}

} // namespace

MasterGroups masterGroupsOfMasterServersText(std::string_view text) {
    // Some files end in a NUL, which is no part of the text.
    while (!text.empty() && std::string_view("\0\r\n \t", 5).find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    const KeyValuesTree tree = parseKeyValues(text);
    MasterGroups groups;
    for (const KeyValuesNode& root : tree.roots()) {
        if (!root.isBlock()) continue;
        for (const KeyValuesNode& node : root.children()) {
            if (!node.isBlock()) continue;
            // A numbered block straight under the top key is a master of no group; a file
            // may hold such blocks and groups side by side, and every one counts.
            if (isMasterEntry(node))
                addAddressOf(node, groups.goldSrc);
            else
                addressesOf(node, namedIgnoringCase(node.key(), "hl1") ? groups.goldSrc : groups.others);
        }
    }
    return groups;
}

std::vector<std::string> mastersOfMasterServersText(std::string_view text) {
    const MasterGroups groups = masterGroupsOfMasterServersText(text);
    std::vector<std::string> masters;
    std::unordered_set<std::string> seen;
    addOnce(groups.goldSrc, masters, seen);
    addOnce(groups.others, masters, seen);
    return masters;
}

std::vector<std::string> masterServersFilesOf(const std::string& gameFolder) {
    std::string folder = gameFolder;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return {folder + "platform\\config\\MasterServers.vdf", folder + "config\\MasterServers.vdf",
            folder + "config\\rev_MasterServers.vdf"};
}

std::string modOfGameFolder(const std::string& gameFolder) {
    for (const char* mod : {"cstrike", "czero", "dod", "tfc", "gearbox", "ricochet", "dmc", "valve"}) {
        std::error_code ec;
        if (!gameFolder.empty() &&
            std::filesystem::is_directory(fsPath(nativePath(gameFolder + "\\" + mod)), ec))
            return mod;
    }
    return "cstrike";
}

GameMasters readGameMasters(const std::string& gameFolderOrGame) {
    // The game's own file (hl.exe), as the Options page keeps it, stands for its folder.
    std::string gameFolder = gameFolderOrGame;
    if (isFile(gameFolder)) gameFolder.resize(gameFolder.find_last_of("/\\") + 1);
    GameMasters found;
    // Every file's GoldSrc masters are asked before any file's others.
    std::vector<std::string> others;
    std::unordered_set<std::string> seen, seenOthers;
    for (const std::string& file : masterServersFilesOf(gameFolder)) {
        if (!isFile(file)) continue;
        try {
            const MasterGroups groups = masterGroupsOfMasterServersText(readFileBytes(nativePath(file)));
            addOnce(groups.goldSrc, found.masters, seen);
            addOnce(groups.others, others, seenOthers);
            found.read.push_back(file);
        } catch (const Failure& e) {
            found.problems.push_back(file + ": " + e.what());
        }
    }
    addOnce(others, found.masters, seen);
    return found;
}

} // namespace qm
