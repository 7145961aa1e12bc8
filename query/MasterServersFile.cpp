#include "query/MasterServersFile.h"

#include "favourites/KeyValues.h"
#include "platform/FileError.h"
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

// The "addr" of each numbered block of `group`.
void addressesOf(const KeyValuesNode& group, std::vector<std::string>& out) {
    for (const KeyValuesNode& entry : group.children()) {
        if (!entry.isBlock()) continue;
        const std::string address = unescapedKeyValuesText(entry.valueOf("addr"));
        if (!trimmed(address, true).empty()) out.emplace_back(trimmed(address, true));
    }
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

std::vector<std::string> mastersOfMasterServersText(std::string_view text) {
    // Some files end in a NUL, which is no part of the text.
    while (!text.empty() && std::string_view("\0\r\n \t", 5).find(text.back()) != std::string_view::npos)
        text.remove_suffix(1);
    const KeyValuesTree tree = parseKeyValues(text);
    std::vector<std::string> goldSrc, others;
    for (const KeyValuesNode& root : tree.roots()) {
        if (!root.isBlock()) continue;
        for (const KeyValuesNode& node : root.children()) {
            if (!node.isBlock()) continue;
            if (isMasterEntry(node)) {
                addressesOf(root, goldSrc); // numbered blocks straight under the top key
                break;
            }
            addressesOf(node, namedIgnoringCase(node.key(), "hl1") ? goldSrc : others);
        }
    }
    std::vector<std::string> masters;
    std::unordered_set<std::string> seen;
    addOnce(goldSrc, masters, seen);
    addOnce(others, masters, seen);
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
        if (!gameFolder.empty() && std::filesystem::is_directory(nativePath(gameFolder + "\\" + mod), ec))
            return mod;
    }
    return "cstrike";
}

GameMasters readGameMasters(const std::string& gameFolder) {
    GameMasters found;
    std::unordered_set<std::string> seen;
    for (const std::string& file : masterServersFilesOf(gameFolder)) {
        if (!isFile(file)) continue;
        try {
            addOnce(mastersOfMasterServersText(readFileBytes(nativePath(file))), found.masters, seen);
            found.read.push_back(file);
        } catch (const Failure& e) {
            found.problems.push_back(file + ": " + e.what());
        }
    }
    return found;
}

} // namespace qm
