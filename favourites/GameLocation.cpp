#include "favourites/GameLocation.h"

#include "platform/Paths.h"

namespace qm {

std::string gameDirectory(const std::string& location) {
    const size_t at = location.find("hl.exe");
    return at == std::string::npos ? std::string() : location.substr(0, at);
}

std::string favouritesFileOf(const std::string& location) {
    return gameDirectory(location) + "platform\\config\\ServerBrowser.vdf";
}

std::string backupFileOf(const std::string& location) {
    return gameDirectory(location) + "platform\\config\\ServerBrowser.bak";
}

std::string revFavouritesFileOf(const std::string& location) {
    return gameDirectory(location) + "config\\rev_ServerBrowser.vdf";
}

bool isGameLocation(const std::string& location) {
    return isFile(location) && isFile(favouritesFileOf(location));
}

} // namespace qm
