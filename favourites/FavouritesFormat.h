#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// The lines of the game's favourites file that mark the Favorites block, matched whole.
inline constexpr std::string_view kFavoritesLine = "\t\"Favorites\"";
inline constexpr std::string_view kFirstLevelClose = "\t}";
inline constexpr std::string_view kTopLevelClose = "}";

/// The Favorites block for the entries in list order, one text per line, numbered from 1.
std::vector<std::string> favoritesBlockLines(const std::vector<std::string>& entries);

} // namespace qm
