#pragma once
#include <string_view>

namespace qm {

/// The one order of every sorted list of the program (server list, database list, country
/// box): texts compared byte by byte from their first character, with the letters A-Z
/// folded to a-z. Digits and punctuation keep their byte order, so "10.0.0.5" sorts
/// before "9.0.0.1", as the game's own sorted list boxes do.
inline unsigned char foldCase(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

inline int compareFolded(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = foldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline bool foldedLess(std::string_view a, std::string_view b) { return compareFolded(a, b) < 0; }
inline bool foldedEqual(std::string_view a, std::string_view b) { return compareFolded(a, b) == 0; }

} // namespace qm
