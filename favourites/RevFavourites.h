#pragma once
#include "favourites/FavouriteSelection.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The favourites of a rev_ServerBrowser.vdf (the file some non-Steam builds read) as
/// list entries "ip:port gamedir", in file order, the game directory from "gamedir".
/// Fails with a KeyValuesError when the text is not such a file.
std::vector<std::string> revFavouriteEntries(std::string_view text);

/// The text with its favourites block holding exactly the selected servers, numbered 0, 1,
/// 2... : first those already in it, in file order, keeping their name, lastplayed and
/// appID, then the new ones in list order. Every byte outside the block stays. A file
/// without a favourites block gets one as the first block of "filters".
std::string rewriteRevFavourites(std::string_view text, const FavouriteSelection& selection);

} // namespace qm
