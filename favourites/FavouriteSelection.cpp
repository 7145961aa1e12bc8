#include "favourites/FavouriteSelection.h"

#include "serverlist/ServerEntry.h"

#include <unordered_set>

namespace qm {

namespace {

// Reads 1..maxDigits decimal digits at `pos`; false when there are none or too many.
bool readNumber(std::string_view text, size_t& pos, size_t maxDigits, unsigned& value) {
    const size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < maxDigits)
        value = value * 10 + unsigned(text[pos++] - '0');
    const bool moreDigits = pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
    return pos > start && !moreDigits;
}

} // namespace

bool isIpv4WithPort(std::string_view text) {
    size_t pos = 0;
    unsigned value = 0;
    for (int part = 0; part < 4; ++part) {
        if (!readNumber(text, pos, 3, value) || value > 255) return false;
        const char separator = part < 3 ? '.' : ':';
        if (pos >= text.size() || text[pos] != separator) return false;
        ++pos;
    }
    return readNumber(text, pos, 5, value) && value >= 1 && value <= 65535 && pos == text.size();
}

FavouriteSelection selectFavourites(const std::vector<std::string>& entries) {
    FavouriteSelection selection;
    selection.servers.reserve(entries.size());
    std::unordered_set<std::string_view> seen;
    seen.reserve(entries.size());
    for (const std::string& entry : entries) {
        const std::string_view address = ServerEntryParts::address(entry);
        if (!isIpv4WithPort(address)) {
            ++selection.invalid;
            continue;
        }
        if (!seen.insert(address).second) {
            ++selection.duplicates;
            continue;
        }
        selection.servers.push_back({std::string(address), std::string(ServerEntryParts::gameDir(entry))});
    }
    return selection;
}

std::string gameDirOfAppId(std::string_view appId, const std::string& fallback) {
    static const struct {
        std::string_view appId;
        const char* gameDir;
    } kGoldSrcGames[] = {{"10", "cstrike"}, {"20", "tfc"},     {"30", "dod"},
                         {"40", "dmc"},     {"50", "gearbox"}, {"60", "ricochet"},
                         {"70", "valve"},   {"80", "czero"},   {"130", "bshift"}};
    for (const auto& game : kGoldSrcGames)
        if (game.appId == appId) return game.gameDir;
    return fallback;
}

std::string selectionSummary(const FavouriteSelection& selection) {
    std::string text = std::to_string(selection.servers.size()) + " written";
    if (selection.duplicates > 0) text += ", " + std::to_string(selection.duplicates) + " repeated left out";
    if (selection.invalid > 0)
        text += ", " + std::to_string(selection.invalid) + " without an IPv4 address left out";
    return text;
}

} // namespace qm
