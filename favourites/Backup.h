#pragma once
#include "platform/Outcome.h"

#include <string>

namespace qm {

/// Back Up: a line-by-line copy of the favourites file into the backup file. The copy is
/// written beside the backup and put in its place only when complete, so a failed copy
/// leaves the previous backup as it was. File failures are thrown (FileError).
Outcome backUpFavourites(const std::string& location);

/// Restore: moves the backup file into the favourites file's place in one step.
Outcome restoreFavourites(const std::string& location);

} // namespace qm
