#pragma once
#include "platform/Outcome.h"

#include <string>
#include <vector>

namespace qm {

class LineCursor;

/// The server entries of every Favorites block, one per address line in file order:
/// the address line's value, a blank and the gamedir value met last before it.
std::vector<std::string> readFavoriteEntries(LineCursor& in);

struct FavouritesImport {
    Outcome outcome;
    /// Entries to add and check, in file order; their number is the import count.
    std::vector<std::string> entries;
    /// False when nothing was read (refused or failed): the count label stays.
    bool counted = false;
};

/// Import: refuses unless the game was found, otherwise reads the favourites file of
/// `location`.
FavouritesImport importFavourites(const std::string& location, bool gameFound);

} // namespace qm
