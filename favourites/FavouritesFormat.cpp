#include "favourites/FavouritesFormat.h"

#include "serverlist/ServerEntry.h"

#include <charconv>

namespace qm {

namespace {

// An entry's lines around its number, game directory and address: the keys between them
// never change, so each run of them is one piece of text.
constexpr std::string_view kBeforeGameDir =
    "\"\r\n\t\t{\r\n\t\t\t\"name\"\t\t\"\"\r\n\t\t\t\"gamedir\"\t\t\"";
// The game's browser reads "Players" with a capital P.
constexpr std::string_view kBeforeAddress =
    "\"\r\n\t\t\t\"Players\"\t\t\"\"\r\n\t\t\t\"maxplayers\"\t\t\"\"\r\n"
    "\t\t\t\"map\"\t\t\"\"\r\n\t\t\t\"address\"\t\t\"";
constexpr std::string_view kAfterAddress = "\"\r\n\t\t\t\"lastplayed\"\t\t\"\"\r\n\t\t}\r\n";

} // namespace

void writeFavoritesBlock(const std::vector<std::string>& entries,
                         const std::function<void(std::string_view)>& write) {
    // Formatted a few hundred entries at a time into one small buffer that is handed on
    // whole: no line and no entry is a string of its own, and no copy of the whole block
    // is made however many servers it holds.
    constexpr size_t kChunk = 64 * 1024;
    std::string out;
    out.reserve(kChunk + 512);
    out.append(kFavoritesLine).append("\r\n\t{\r\n");
    char number[24];
    for (size_t k = 0; k < entries.size(); ++k) {
        const std::string& entry = entries[k];
        // An entry without a blank has an empty address and is all game directory.
        const bool hasBlank = entry.find(' ') != std::string::npos;
        const std::string_view address = hasBlank ? ServerEntryParts::address(entry) : std::string_view();
        const std::string_view gameDir =
            hasBlank ? ServerEntryParts::gameDir(entry) : std::string_view(entry);
        const char* numberEnd = std::to_chars(number, number + sizeof number, k + 1).ptr;
        out.append("\t\t\"")
            .append(number, static_cast<size_t>(numberEnd - number))
            .append(kBeforeGameDir)
            .append(gameDir);
        out.append(kBeforeAddress).append(address).append(kAfterAddress);
        if (out.size() >= kChunk) {
            write(out);
            out.clear();
        }
    }
    out.append(kFirstLevelClose).append("\r\n");
    write(out);
}

std::vector<std::string> favoritesBlockLines(const std::vector<std::string>& entries) {
    std::string text;
    writeFavoritesBlock(entries, [&](std::string_view bytes) { text.append(bytes); });
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.emplace_back(text, at, end - at);
        at = end + 2;
    }
    return lines;
}

} // namespace qm
