#pragma once
#include "favourites/FavouritesOverwrite.h"
#include "platform/TextFile.h"

#include <string>
#include <vector>

namespace qm::test {

inline std::vector<std::string> linesOf(std::string_view text) {
    LineCursor in(text);
    std::vector<std::string> lines;
    while (!in.atEnd())
        lines.push_back(in.readLine());
    return lines;
}

/// The rewritten text with CR LF after every line, as the file gets it.
inline std::string rewritten(std::string_view source, const std::vector<std::string>& entries) {
    LineCursor in(source);
    std::string out;
    rewriteFavourites(in, entries, [&](std::string_view bytes) { out.append(bytes); });
    return out;
}

} // namespace qm::test
