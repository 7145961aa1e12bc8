#include "favourites/Backup.h"

#include "favourites/FavouritesOverwrite.h"
#include "favourites/GameLocation.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace qm {

Outcome backUpFavourites(const std::string& location) {
    if (location.empty()) return {"Backing up was unsuccessful.", kOverwriteFailedMessage, false};
    TextFileReader in(nativePath(favouritesFileOf(location)));
    AtomicTextFile out(nativePath(backupFileOf(location)));
    while (!in.atEnd())
        out.writeLine(in.readLine());
    out.commit();
    return {"Backing up was successful.", {}, true};
}

Outcome restoreFavourites(const std::string& location) {
    const std::string backup = nativePath(backupFileOf(location));
    if (!isFile(backup))
        return {"Previously backed-up file wasn't found.", "Cannot find file. You didn't back up.", false};
    try {
        replaceFile(backup, nativePath(favouritesFileOf(location)));
    } catch (const std::exception& e) {
        return {"Favourites were not restored.",
                std::string("Cannot restore the favourites file: ") + e.what() + ". The backup was kept.",
                false};
    }
    return {"Favourites were restored.", {}, true};
}

} // namespace qm
