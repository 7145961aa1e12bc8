#include "favourites/FavouritesFormat.h"

#include "serverlist/ServerEntry.h"

namespace qm {

namespace {

std::string keyLine(std::string_view key, std::string_view value) {
    std::string line = "\t\t\t\"";
    line.append(key).append("\"\t\t\"").append(value).append("\"");
    return line;
}

} // namespace

std::vector<std::string> favoritesBlockLines(const std::vector<std::string>& entries) {
    std::vector<std::string> lines;
    lines.reserve(2 + entries.size() * 10 + 1);
    lines.emplace_back(kFavoritesLine);
    lines.emplace_back("\t{");
    for (size_t k = 0; k < entries.size(); ++k) {
        const std::string& entry = entries[k];
        // An entry without a blank has an empty address and is all game directory.
        const bool hasBlank = entry.find(' ') != std::string::npos;
        const std::string_view address = hasBlank ? ServerEntryParts::address(entry) : std::string_view();
        const std::string_view gameDir =
            hasBlank ? ServerEntryParts::gameDir(entry) : std::string_view(entry);
        lines.push_back("\t\t\"" + std::to_string(k + 1) + "\"");
        lines.emplace_back("\t\t{");
        lines.push_back(keyLine("name", ""));
        lines.push_back(keyLine("gamedir", gameDir));
        // The game's browser reads "Players" with a capital P.
        lines.push_back(keyLine("Players", ""));
        lines.push_back(keyLine("maxplayers", ""));
        lines.push_back(keyLine("map", ""));
        lines.push_back(keyLine("address", address));
        lines.push_back(keyLine("lastplayed", ""));
        lines.emplace_back("\t\t}");
    }
    lines.emplace_back(kFirstLevelClose);
    return lines;
}

} // namespace qm
