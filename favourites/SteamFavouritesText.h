#pragma once
#include "favourites/FavouriteSelection.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The favourites of Steam's serverbrowser_hist.vdf as list entries "ip:port gamedir", in
/// file order; the game directory comes from the entry's app id, or is `fallbackGameDir`.
/// Fails with a KeyValuesError when the text is not such a file.
std::vector<std::string> steamFavouriteEntries(std::string_view text, const std::string& fallbackGameDir);

/// The text with its favourites block holding exactly the selected servers; every byte
/// outside that block stays. A server already in the file, in either list, is its entry as
/// it stands (number, times, ids); a new one takes the number after the highest of both
/// lists. Entries go in ascending number order. A file without a favourites block gets one
/// as the first block of "Filters". Fails with a KeyValuesError as the reader does.
std::string rewriteSteamFavourites(std::string_view text, const FavouriteSelection& selection);

/// What a missing file is created from: the form Steam writes today, with empty lists.
std::string_view emptySteamFavouritesText();

} // namespace qm
