#include "favourites/FavouritesImport.h"

#include "favourites/FavouritesFormat.h"
#include "favourites/GameLocation.h"
#include "favourites/RevFavourites.h"
#include "favourites/ServerBrowserFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <functional>

namespace qm {

namespace {

constexpr std::string_view kAddressKey = "\t\t\t\"address\"\t\t";
constexpr std::string_view kGameDirKey = "\t\t\t\"gamedir\"\t\t";

// The value is cut by position: the key's 15 leading characters and the closing quote
// go, wherever in the line the key text stood.
std::string_view valueOf(std::string_view line) {
    return line.size() <= 16 ? std::string_view() : line.substr(15, line.size() - 16);
}

// Whether `line` holds `key` anywhere. Every line is searched for two keys, so the search
// skips ahead by the key's length rather than stopping at each of the many tabs.
class KeySearch {
  public:
    explicit KeySearch(std::string_view key) : m_key(key), m_searcher(key.begin(), key.end()) {}
    bool in(std::string_view line) const {
        return line.size() >= m_key.size() && std::search(line.begin(), line.end(), m_searcher) != line.end();
    }

  private:
    std::string_view m_key;
    std::boyer_moore_horspool_searcher<std::string_view::const_iterator> m_searcher;
};

} // namespace

std::vector<std::string> readFavoriteEntries(LineCursor& in) {
    static const KeySearch addressKey(kAddressKey), gameDirKey(kGameDirKey);
    std::vector<std::string> entries;
    std::string gameDir; // carried from entry to entry and block to block
    while (!in.atEnd()) {
        if (in.readLineView() != kFavoritesLine) continue;
        // A file cut short inside the block ends the scan at its end.
        while (!in.atEnd()) {
            const std::string_view line = in.readLineView();
            if (addressKey.in(line)) {
                const std::string_view address = valueOf(line);
                std::string& entry = entries.emplace_back();
                entry.reserve(address.size() + 1 + gameDir.size());
                entry.append(address).append(1, ' ').append(gameDir);
            }
            if (gameDirKey.in(line)) gameDir = valueOf(line);
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
