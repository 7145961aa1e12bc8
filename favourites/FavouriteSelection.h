#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// A server as the favourites lists of Steam and of the rev_ builds hold it.
struct SelectedServer {
    std::string address; // "a.b.c.d:port"
    std::string gameDir;
};

/// The list's entries that can go into those lists, in list order: one per address (the
/// first entry wins) and only dotted IPv4 addresses with a port.
struct FavouriteSelection {
    std::vector<SelectedServer> servers;
    size_t duplicates = 0;
    size_t invalid = 0;
};

FavouriteSelection selectFavourites(const std::vector<std::string>& entries);

/// True for exactly "a.b.c.d:port": four numbers 0-255 of 1-3 digits, a port 1-65535.
bool isIpv4WithPort(std::string_view text);

/// The game directory of a GoldSrc app id ("10" is cstrike), or `fallback` for any other.
std::string gameDirOfAppId(std::string_view appId, const std::string& fallback);

/// "N written", with the left-out repeats and bad addresses when there are any.
std::string selectionSummary(const FavouriteSelection& selection);

} // namespace qm
