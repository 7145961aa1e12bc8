#include "favourites/SteamFavouritesFile.h"

#include "favourites/FavouriteSelection.h"
#include "favourites/ServerBrowserFile.h"
#include "favourites/SteamFavouritesText.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace qm {

std::string steamFavouritesFileOf(const std::string& steamFolder, const std::string& accountId) {
    std::string folder = steamFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + "userdata/" + accountId + "/7/remote/serverbrowser_hist.vdf";
}

std::string steamBackupFileOf(const std::string& favouritesFile) {
    const size_t dot = favouritesFile.rfind('.');
    const size_t slash = favouritesFile.find_last_of("/\\");
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? favouritesFile.substr(0, dot) : favouritesFile) + ".bak";
}

FavouritesImport importSteamFavourites(const std::string& file, const std::string& fallbackGameDir) {
    FavouritesImport result;
    if (file.empty()) {
        result.outcome = {kNoSteamAccountStatus, {}, false};
        return result;
    }
    try {
        result.entries = steamFavouriteEntries(readServerBrowserFile(file), fallbackGameDir);
    } catch (const std::exception& e) {
        result.outcome = {"Steam favourites were not imported",
                          "Cannot read " + absolutePath(file) + ": " + e.what() + ".", false};
        return result;
    }
    result.counted = true;
    result.outcome = {"Steam favourites were imported successfully.", {}, true};
    return result;
}

Outcome overwriteSteamFavourites(const std::string& file, const std::vector<std::string>& entries,
                                 bool steamRunning) {
    if (file.empty()) return {kNoSteamAccountStatus, {}, false};
    if (steamRunning) return {"Steam favourites were not overwritten.", kSteamRunningMessage, false};
    const FavouriteSelection selection = selectFavourites(entries);
    const Outcome written = rewriteServerBrowserFile(
        file, [&](std::string_view text) { return rewriteSteamFavourites(text, selection); },
        emptySteamFavouritesText());
    if (!written.ok) return {"Steam favourites were not overwritten.", written.message, false};
    return {"Steam favourites were overwritten (" + selectionSummary(selection) +
                "). You can start Steam now.",
            {},
            true};
}

Outcome backUpSteamFavourites(const std::string& file) {
    if (file.empty()) return {kNoSteamAccountStatus, {}, false};
    try {
        replaceServerBrowserFile(steamBackupFileOf(file), readServerBrowserFile(file));
    } catch (const std::exception& e) {
        return {"Backing up was unsuccessful.",
                "Cannot back up " + absolutePath(file) + ": " + e.what() + ".", false};
    }
    return {"Backing up was successful.", {}, true};
}

Outcome restoreSteamFavourites(const std::string& file, bool steamRunning) {
    if (file.empty()) return {kNoSteamAccountStatus, {}, false};
    const std::string backup = steamBackupFileOf(file);
    if (!isFile(backup))
        return {"Previously backed-up file wasn't found.", "Cannot find file. You didn't back up.", false};
    if (steamRunning) return {"Steam favourites were not restored.", kSteamRunningMessage, false};
    try {
        // The backup stays, so that it can be restored again.
        replaceServerBrowserFile(file, readServerBrowserFile(backup));
    } catch (const std::exception& e) {
        return {"Steam favourites were not restored.",
                "Cannot restore " + absolutePath(file) + ": " + e.what() + ". The backup was kept.", false};
    }
    return {"Steam favourites were restored.", {}, true};
}

} // namespace qm
