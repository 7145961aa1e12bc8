#pragma once
// Reads favourites lists of Steam's and the rev_ builds' files line by line, the simple
// way a person reads them, to check the program's own reader and writer against.
#include "platform/TextTools.h"

#include <string>
#include <string_view>
#include <vector>

namespace qm::test {

/// The text split around the favourites list: before its first entry, the entries, and
/// from its closing "\t}" on.
struct FavouritesSplit {
    std::string before, block, after;
};

inline bool lineIs(std::string_view line, std::string_view lowerCased) {
    if (line.size() != lowerCased.size()) return false;
    for (size_t i = 0; i < line.size(); ++i)
        if (asciiLower(line[i]) != lowerCased[i]) return false;
    return true;
}

inline FavouritesSplit splitAtFavourites(const std::string& text) {
    size_t pos = 0;
    size_t blockBegin = std::string::npos;
    while (pos < text.size()) {
        const size_t nl = text.find('\n', pos);
        const size_t next = nl == std::string::npos ? text.size() : nl + 1;
        const std::string_view line(text.data() + pos, next - pos - (nl == std::string::npos ? 0 : 1));
        if (blockBegin == std::string::npos && lineIs(line, "\t\"favorites\"")) {
            blockBegin = text.find('\n', next) + 1; // past "\t{"
        } else if (blockBegin != std::string::npos && pos >= blockBegin && line == "\t}") {
            return {text.substr(0, blockBegin), text.substr(blockBegin, pos - blockBegin), text.substr(pos)};
        }
        pos = next;
    }
    return {text, {}, {}};
}

/// The value of every `"<key>"<tabs>"value"` line of a text, in order.
inline std::vector<std::string> valuesOfKey(const std::string& text, std::string_view key) {
    std::vector<std::string> values;
    const std::string quoted = "\"" + std::string(key) + "\"";
    size_t pos = 0;
    while ((pos = text.find(quoted, pos)) != std::string::npos) {
        const size_t open = text.find('"', pos + quoted.size());
        const size_t close = text.find('"', open + 1);
        values.push_back(text.substr(open + 1, close - open - 1));
        pos = close + 1;
    }
    return values;
}

/// The favourites' addresses as a person reads them off the file.
inline std::vector<std::string> favouriteAddresses(const std::string& text) {
    return valuesOfKey(splitAtFavourites(text).block, "address");
}

} // namespace qm::test
