#include "favourites/FavouritesImport.h"

#include "favourites/FavouritesFormat.h"
#include "favourites/GameLocation.h"
#include "favourites/RevFavourites.h"
#include "favourites/ServerBrowserFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace qm {

namespace {

constexpr std::string_view kAddressKey = "\t\t\t\"address\"\t\t";
constexpr std::string_view kGameDirKey = "\t\t\t\"gamedir\"\t\t";

// The value is cut by position: the key's 15 leading characters and the closing quote
// go, wherever in the line the key text stood.
std::string valueOf(const std::string& line) {
    return line.size() <= 16 ? std::string() : line.substr(15, line.size() - 16);
}

} // namespace

std::vector<std::string> readFavoriteEntries(LineCursor& in) {
    std::vector<std::string> entries;
    std::string gameDir; // carried from entry to entry and block to block
    while (!in.atEnd()) {
        if (in.readLine() != kFavoritesLine) continue;
        // A file cut short inside the block ends the scan at its end.
        while (!in.atEnd()) {
            const std::string line = in.readLine();
            if (line.find(kAddressKey) != std::string::npos) entries.push_back(valueOf(line) + " " + gameDir);
            if (line.find(kGameDirKey) != std::string::npos) gameDir = valueOf(line);
            if (line == kFirstLevelClose) break;
        }
    }
    return entries;
}

FavouritesImport importFavourites(const std::string& location, bool gameFound) {
    FavouritesImport result;
    if (!gameFound) {
        result.outcome = {"Error: can't find 'hl.exe'", {}, false};
        return result;
    }
    try {
        TextFileReader file(nativePath(favouritesFileOf(location)));
        LineCursor in = file.cursor();
        result.entries = readFavoriteEntries(in);
    } catch (const std::exception&) {
        result.outcome = {"Favourites were not imported", "Error 1304A", false};
        return result;
    }
    result.counted = true;
    result.outcome = {"Favourites were imported successfully.", {}, true};
    // Builds that read the rev_ file keep their favourites there as well.
    const std::string rev = nativePath(revFavouritesFileOf(location));
    if (!isFile(rev)) return result;
    try {
        const std::vector<std::string> more = revFavouriteEntries(readServerBrowserFile(rev));
        result.entries.insert(result.entries.end(), more.begin(), more.end());
    } catch (const std::exception& e) {
        result.outcome.message =
            "Cannot read " + absolutePath(rev) + ": " + e.what() + ". Its favourites were not imported.";
    }
    return result;
}

} // namespace qm
