#include "serverlist/ServerEntry.h"

namespace qm {

std::string_view ServerEntryParts::address(std::string_view entry) {
    return entry.substr(0, entry.find(' '));
}

std::string_view ServerEntryParts::gameDir(std::string_view entry) {
    const size_t blank = entry.find(' ');
    return blank == std::string_view::npos ? std::string_view() : entry.substr(blank + 1);
}

std::string_view ServerEntryParts::ip(std::string_view entry) {
    return entry.substr(0, entry.find(':'));
}

std::string_view ServerEntryParts::port(std::string_view entry) {
    const size_t colon = entry.find(':');
    if (colon == std::string_view::npos) return {};
    // Without a blank after the colon there is no port text at all.
    const size_t blank = entry.find(' ');
    if (blank == std::string_view::npos || blank < colon) return {};
    return entry.substr(colon + 1, blank - colon - 1);
}

std::string makeServerEntry(std::string_view ip, std::string_view port, std::string_view gameDir) {
    std::string entry;
    entry.reserve(ip.size() + port.size() + gameDir.size() + 2);
    entry.append(ip).append(":").append(port).append(" ").append(gameDir);
    return entry;
}

} // namespace qm
