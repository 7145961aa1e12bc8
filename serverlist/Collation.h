#pragma once
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qm {

/// The one order of every sorted list of the program (server list, database list, country
/// box): texts compared byte by byte from their first character, with the letters A-Z
/// folded to a-z. Digits and punctuation keep their byte order, so "10.0.0.5" sorts
/// before "9.0.0.1", as the game's own sorted list boxes do.
inline unsigned char foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

namespace collation {

inline constexpr uint64_t kOnes = 0x0101010101010101ull;
inline constexpr uint64_t kHighBits = 0x80 * kOnes;

/// Eight bytes folded at once: every byte from 'A' to 'Z' gets 0x20 added. The sums stay
/// inside their byte, since only the low seven bits of each are added to.
inline uint64_t foldWord(uint64_t word) {
    const uint64_t low = word & ~kHighBits;
    const uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    const uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;
    const uint64_t upper = atLeastA & ~pastZ & ~word & kHighBits;
    return word | (upper >> 2);
}

inline uint64_t load8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

} // namespace collation

inline int compareFolded(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time; the first differing byte is the lowest one of the word.
        for (; i + 8 <= n; i += 8) {
            uint64_t x = collation::load8(a.data() + i);
            uint64_t y = collation::load8(b.data() + i);
            if (x == y) continue;
            x = collation::foldWord(x);
            y = collation::foldWord(y);
            if (x == y) continue;
            const int shift = std::countr_zero(x ^ y) & ~7;
            return ((x >> shift) & 0xFF) < ((y >> shift) & 0xFF) ? -1 : 1;
        }
    }
    for (; i < n; ++i) {
        const unsigned char ca = foldCase(static_cast<unsigned char>(a[i]));
        const unsigned char cb = foldCase(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline bool foldedLess(std::string_view a, std::string_view b) {
    return compareFolded(a, b) < 0;
}
inline bool foldedEqual(std::string_view a, std::string_view b) {
    return compareFolded(a, b) == 0;
}

/// The first eight bytes of a text folded, as a number that orders like the texts: when
/// two texts' keys differ, their order is the keys' order (a text shorter than eight
/// bytes is padded with zero bytes, which sort first as a shorter text does).
inline uint64_t foldedPrefixKey(std::string_view text) {
    char bytes[8] = {};
    std::memcpy(bytes, text.data(), text.size() < 8 ? text.size() : 8);
    uint64_t word = collation::foldWord(collation::load8(bytes));
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
    return word;
}

} // namespace qm
