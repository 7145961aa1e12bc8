#include "database/Db2Format.h"

#include "platform/LineBreak.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

std::string db2LineKey(uint64_t lineNumber) {
    return std::to_string(lineNumber * kDb2KeyMultiplier);
}

Db2LineKeys::Db2LineKeys(uint64_t firstLine) {
    const std::string first = db2LineKey(firstLine);
    m_begin = kDigits - first.size();
    std::memcpy(m_digits + m_begin, first.data(), first.size());
}

void Db2LineKeys::next() {
    // Adds the multiplier digit by digit from the right, carrying as on paper.
    constexpr uint64_t kLast = kDb2KeyMultiplier % 10;
    constexpr uint64_t kTens = kDb2KeyMultiplier / 10 % 10;
    constexpr uint64_t kHundreds = kDb2KeyMultiplier / 100;
    static_assert(kDb2KeyMultiplier >= 100 && kDb2KeyMultiplier <= 999);
    unsigned carry = 0;
    size_t at = kDigits;
    for (const uint64_t add : {kLast, kTens, kHundreds}) {
        --at;
        if (at < m_begin) {
            m_digits[at] = '0';
            m_begin = at;
        }
        const unsigned sum = static_cast<unsigned>(m_digits[at] - '0') + static_cast<unsigned>(add) + carry;
        carry = sum >= 10;
        m_digits[at] = static_cast<char>('0' + sum - (carry ? 10 : 0));
    }
    while (carry) {
        --at;
        if (at < m_begin) {
            m_digits[at] = '0';
            m_begin = at;
        }
        carry = m_digits[at] == '9';
        m_digits[at] = carry ? '0' : static_cast<char>(m_digits[at] + 1);
    }
}

namespace {

// Adds `pattern` to `to` byte by byte modulo 256 (direction > 0), or subtracts it:
// sixteen bytes at a time where the processor allows.
void applyPattern(unsigned char* to, const unsigned char* pattern, size_t n, int direction) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                         direction > 0 ? _mm_add_epi8(a, b) : _mm_sub_epi8(a, b));
    }
#endif
    for (; i < n; ++i)
        to[i] = static_cast<unsigned char>(direction > 0 ? to[i] + pattern[i] : to[i] - pattern[i]);
}

// Lines up to this long (every server line) are done a key period at a time: laying out a
// pattern costs more than it saves on them. Keys are at most 20 digits.
constexpr size_t kShortLine = 64;

// Text byte p meets key byte (p + 1) mod L, from `from` into `to` (the same place or
// another): the key turned by one place, applied one period at a time.
template <int direction>
void applyKeyByPeriods(unsigned char* to, const unsigned char* from, size_t size, std::string_view key) {
    unsigned char turned[32];
    const size_t length = std::min<size_t>(key.size(), sizeof turned);
    std::memcpy(turned, key.data() + 1, length - 1);
    turned[length - 1] = static_cast<unsigned char>(key[0]);
    for (size_t start = 0; start < size; start += length) {
        const size_t n = std::min(length, size - start);
        for (size_t j = 0; j < n; ++j)
            to[start + j] = static_cast<unsigned char>(direction > 0 ? from[start + j] + turned[j]
                                                                     : from[start + j] - turned[j]);
    }
}

void applyKeyByBytes(unsigned char* to, const unsigned char* from, size_t size, std::string_view key,
                     int direction) {
    if (direction > 0)
        applyKeyByPeriods<1>(to, from, size, key);
    else
        applyKeyByPeriods<-1>(to, from, size, key);
}

// Text byte p meets key byte (p + 1) mod L: the key turned by one place and repeated is
// laid beside the text and applied in one pass, a block at a time for long texts. Copies
// of the period double each time, so a server line's pattern takes a few copies.
void applyKey(char* data, size_t size, std::string_view key, int direction) {
    const size_t keyLength = key.size();
    if (keyLength == 0 || size == 0) return;
    auto* to = reinterpret_cast<unsigned char*>(data);
    if (size <= kShortLine) return applyKeyByBytes(to, to, size, key, direction);
    constexpr size_t kBlock = 4096;
    unsigned char pattern[kBlock + 64];
    // Whole periods, no more than the text needs: short lines are the common case.
    const size_t wanted = std::min(size, kBlock / keyLength * keyLength);
    std::memcpy(pattern, key.data() + 1, keyLength - 1);
    pattern[keyLength - 1] = static_cast<unsigned char>(key[0]);
    for (size_t filled = keyLength; filled < wanted;) {
        const size_t n = std::min(filled, wanted - filled);
        std::memcpy(pattern + filled, pattern, n);
        filled += n;
    }
    for (size_t start = 0; start < size; start += wanted)
        applyPattern(to + start, pattern, std::min(wanted, size - start), direction);
}

} // namespace

std::string scrambleLine(std::string_view plain, std::string_view key) {
    std::string out(plain);
    applyKey(out.data(), out.size(), key, 1);
    return out;
}

void unscrambleInPlace(std::string& scrambled, std::string_view key) {
    applyKey(scrambled.data(), scrambled.size(), key, -1);
}

std::string unscrambleLine(std::string_view scrambled, std::string_view key) {
    std::string out(scrambled);
    unscrambleInPlace(out, key);
    return out;
}

bool appendScrambled(std::string& out, std::string_view plain, std::string_view key) {
    const size_t start = out.size();
    out.append(plain);
    applyKey(out.data() + start, plain.size(), key, 1);
    const char* end = out.data() + out.size();
    return findLineBreak(out.data() + start, end) == end;
}

void assignUnscrambled(std::string& out, std::string_view scrambled, std::string_view key) {
    out.assign(scrambled);
    applyKey(out.data(), out.size(), key, -1);
}

void unscrambleInto(char* to, std::string_view scrambled, std::string_view key) {
    if (key.empty() || scrambled.size() > kShortLine) {
        std::memcpy(to, scrambled.data(), scrambled.size());
        return applyKey(to, scrambled.size(), key, -1);
    }
    applyKeyByBytes(reinterpret_cast<unsigned char*>(to),
                    reinterpret_cast<const unsigned char*>(scrambled.data()), scrambled.size(), key, -1);
}

bool scrambleInto(char* to, std::string_view plain, std::string_view key) {
    if (key.empty() || plain.size() > kShortLine) {
        std::memcpy(to, plain.data(), plain.size());
        applyKey(to, plain.size(), key, 1);
    } else {
        applyKeyByBytes(reinterpret_cast<unsigned char*>(to),
                        reinterpret_cast<const unsigned char*>(plain.data()), plain.size(), key, 1);
    }
    return findLineBreak(to, to + plain.size()) == to + plain.size();
}

std::optional<size_t> firstUnsafeLine(const std::vector<std::string>& lines) {
    Db2LineKeys keys;
    std::string scrambled;
    for (size_t i = 0; i < lines.size(); ++i, keys.next()) {
        scrambled.clear();
        if (!appendScrambled(scrambled, lines[i], keys.key())) return i;
    }
    return std::nullopt;
}

} // namespace qm
