#pragma once
#include "platform/Outcome.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class LineCursor;

/// Copies the favourites text to `write`, every line ended with CR LF, putting the
/// Favorites block for `entries` in place of every old one, or before a top-level "}"
/// while no Favorites line has been met. The line after each insertion is copied without
/// being examined. `write` gets bytes in pieces of any size.
void rewriteFavourites(LineCursor& in, const std::vector<std::string>& entries,
                       const std::function<void(std::string_view)>& write);

/// Said when there is no favourites file to overwrite; a file that is there but refuses
/// the write is named with the system's reason instead.
inline constexpr const char* kOverwriteFailedMessage = "Cannot find file. May be path to CS is incorrect.";
/// Said after it when this desktop has Steam favourites and no game folder is chosen.
inline constexpr const char* kSteamOverwriteHint =
    "Steam builds of the game take their favourites from Steam: use Overwrite under \"Steam favourites\".";

/// Overwrite: writes the new favourites into the temporary file beside the favourites
/// file of `location`, then puts it in the favourites file's place in one step. When any
/// step fails the favourites file stays as it was.
Outcome overwriteFavourites(const std::string& location, const std::vector<std::string>& entries);

} // namespace qm
