#pragma once
#include "favourites/FavouritesImport.h"
#include "platform/Outcome.h"

#include <string>
#include <vector>

namespace qm {

/// Steam's favourites file of an account, and its backup beside it.
std::string steamFavouritesFileOf(const std::string& steamFolder, const std::string& accountId);
std::string steamBackupFileOf(const std::string& favouritesFile);

/// Import from Steam's file: every favourite as "ip:port gamedir", the game directory from
/// its app id or else `fallbackGameDir`.
FavouritesImport importSteamFavourites(const std::string& file, const std::string& fallbackGameDir);

/// Overwrite of Steam's favourites with every server of the list. Refused while Steam runs,
/// because Steam writes the file from memory when it exits.
Outcome overwriteSteamFavourites(const std::string& file, const std::vector<std::string>& entries,
                                 bool steamRunning);

Outcome backUpSteamFavourites(const std::string& file);
Outcome restoreSteamFavourites(const std::string& file, bool steamRunning);

inline constexpr const char* kSteamRunningMessage =
    "Steam is running. Close Steam first: it rewrites its favourites file when it exits, "
    "so anything written while it runs would be lost.";
inline constexpr const char* kNoSteamAccountStatus = "Error: no Steam account was found";

} // namespace qm
