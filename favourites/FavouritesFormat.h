#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The lines of the game's favourites file that mark the Favorites block, matched whole.
inline constexpr std::string_view kFavoritesLine = "\t\"Favorites\"";
inline constexpr std::string_view kFirstLevelClose = "\t}";
inline constexpr std::string_view kTopLevelClose = "}";

/// The Favorites block for the entries in list order, numbered from 1, each line ended
/// with CR LF, handed to `write` in pieces of whole lines.
void writeFavoritesBlock(const std::vector<std::string>& entries,
                         const std::function<void(std::string_view)>& write);
/// The same block, one text per line.
std::vector<std::string> favoritesBlockLines(const std::vector<std::string>& entries);

} // namespace qm
