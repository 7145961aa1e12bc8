#pragma once
#include "platform/SteamPlaces.h"

#include <optional>
#include <string>
#include <vector>

namespace qm {

/// The candidates that are Steam folders (they have "userdata/"), each once by its real
/// path, in candidate order.
std::vector<std::string> findSteamFolders(const std::vector<std::string>& candidates);
/// The system's places for Steam (steamFolderCandidates) that are Steam folders.
std::vector<std::string> findSteamFolders(const std::string& home);

struct SteamAccount {
    std::string accountId;   // the folder name under userdata/
    std::string personaName; // empty when Steam's config does not say
    /// "12345678 (Name)", or the bare id.
    std::string label() const;
};

/// The accounts of a Steam folder that have a favourites file or its folder 7/remote/,
/// the most recently used one first, then by id.
std::vector<SteamAccount> steamAccountsIn(const std::string& steamFolder);

/// Steam's own process names on Linux and under Wine.
const std::vector<std::string>& steamProcessNames();

/// The id of a running Steam of this user: a process by one of Steam's names, or the pid
/// Steam recorded (steamPidsOnRecord) when that process is still there and is Steam's.
std::optional<int> runningSteam(const std::string& home, const std::string& steamFolder,
                                const std::string& procRoot = "/proc");

bool isSteamRunning(const std::string& home, const std::string& steamFolder);

} // namespace qm
