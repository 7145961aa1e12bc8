#include "favourites/FavouritesImport.h"

#include "favourites/FavoritesFormat.h"
#include "favourites/GameLocation.h"
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
        if (in.readLine() != kFavoritesLine)
            continue;
        // A file cut short inside the block ends the scan at its end.
        while (!in.atEnd()) {
            const std::string line = in.readLine();
            if (line.find(kAddressKey) != std::string::npos)
                entries.push_back(valueOf(line) + " " + gameDir);
            if (line.find(kGameDirKey) != std::string::npos)
                gameDir = valueOf(line);
            if (line == kFirstLevelClose)
                break;
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
    return result;
}

} // namespace qm
