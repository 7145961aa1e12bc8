#include "platform/SteamPlaces.h"

namespace qm {

std::vector<std::string> steamFoldersBelowHome(const std::string& home) {
    const std::string h = home.empty() || home.back() == '/' ? home : home + "/";
    return {h + ".local/share/Steam", h + ".steam/steam", h + ".steam/root",
            h + ".var/app/com.valvesoftware.Steam/.local/share/Steam",
            h + "snap/steam/common/.local/share/Steam"};
}

} // namespace qm
