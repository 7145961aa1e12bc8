#include "favourites/FavouritesOverwrite.h"

#include "favourites/FavouriteSelection.h"
#include "favourites/FavouritesFormat.h"
#include "favourites/GameLocation.h"
#include "favourites/RevFavourites.h"
#include "favourites/ServerBrowserFile.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace qm {

void rewriteFavourites(LineCursor& in, const std::vector<std::string>& entries,
                       const std::function<void(std::string_view)>& write) {
    const auto writeLine = [&](std::string_view line) {
        write(line);
        write("\r\n");
    };
    bool favoritesMet = false;
    while (!in.atEnd()) {
        std::string_view line = in.readLineView();
        const bool atFavorites = line == kFavoritesLine;
        const bool atTopClose = line == kTopLevelClose && !favoritesMet;
        if (atFavorites || atTopClose) {
            favoritesMet = favoritesMet || atFavorites;
            writeFavoritesBlock(entries, write);
            if (atTopClose) writeLine(kTopLevelClose);
            if (atFavorites) {
                // Skip the old block through its closing line; a file cut short inside
                // the block ends the skip at its end.
                while (!in.atEnd() && in.readLineView() != kFirstLevelClose) {
                }
            }
            // The game's own files put the block's neighbour here; it is copied as it is.
            line = in.readLineView();
        }
        writeLine(line);
    }
}

Outcome overwriteFavourites(const std::string& location, const std::vector<std::string>& entries) {
    const std::string favourites = nativePath(favouritesFileOf(location));
    try {
        TextFileReader in(favourites);
        AtomicTextFile out(favourites);
        LineCursor cursor = in.cursor();
        rewriteFavourites(cursor, entries, [&](std::string_view bytes) { out.write(bytes); });
        out.commit();
    } catch (const FileError& e) {
        // Only a file that is not there is "Cannot find file"; a refused write says so.
        const bool missing = e.code() == 2 || e.code() == 3;
        return {"Favourites were not overwritten.",
                missing ? kOverwriteFailedMessage : std::string(e.what()) + ": " + absolutePath(favourites),
                false};
    } catch (const std::exception& e) {
        return {"Favourites were not overwritten.", std::string(e.what()) + ": " + absolutePath(favourites),
                false};
    }
    Outcome done{"Favourites were overwritten. You can start CS now.", {}, true};
    const std::string rev = nativePath(revFavouritesFileOf(location));
    if (isFile(rev)) {
        const FavouriteSelection selection = selectFavourites(entries);
        const Outcome written = rewriteServerBrowserFile(
            rev, [&](std::string_view text) { return rewriteRevFavourites(text, selection); });
        done.message = written.message;
        done.ok = written.ok;
        if (!done.ok) done.status = "Favourites were overwritten, but not in config\\rev_ServerBrowser.vdf.";
    }
    return done;
}

} // namespace qm
