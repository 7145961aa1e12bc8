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
    uint64_t add = kDb2KeyMultiplier;
    unsigned carry = 0;
    size_t at = kDigits;
    while (add > 0 || carry > 0) {
        --at;
        if (at < m_begin) {
            m_digits[at] = '0';
            m_begin = at;
        }
        const unsigned sum = static_cast<unsigned>(m_digits[at] - '0') + static_cast<unsigned>(add % 10) + carry;
        m_digits[at] = static_cast<char>('0' + sum % 10);
        carry = sum / 10;
        add /= 10;
    }
}

namespace {

// Adds `pattern` to `to` byte by byte, modulo 256: sixteen bytes at a time where the
// processor allows.
void addBytes(unsigned char* to, const unsigned char* pattern, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pattern + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_add_epi8(a, b));
    }
#endif
    for (; i < n; ++i)
        to[i] = static_cast<unsigned char>(to[i] + pattern[i]);
}

// Text byte p meets key byte (p + 1) mod L, without a modulo per byte: a short line in one
// pass with the key index wrapping by hand; a long text block by block against the key
// turned by one and repeated to whole periods, a plain loop the compiler vectorizes.
void applyKey(char* data, size_t size, std::string_view key, int direction) {
    const size_t keyLength = key.size();
    if (keyLength == 0 || size == 0) return;
    auto* to = reinterpret_cast<unsigned char*>(data);
    const auto sign = static_cast<unsigned char>(direction > 0 ? 1 : 255); // +1 or -1 modulo 256
    if (size <= 256) {
        for (size_t p = 0, k = 1 % keyLength; p < size; ++p, k = k + 1 == keyLength ? 0 : k + 1)
            to[p] = static_cast<unsigned char>(to[p] + sign * static_cast<unsigned char>(key[k]));
        return;
    }
    constexpr size_t kBlock = 4096;
    // Whole periods, no more than the text needs: short lines are the common case.
    const size_t needed = (size + keyLength - 1) / keyLength * keyLength;
    const size_t period = std::min(kBlock / keyLength * keyLength, needed);
    unsigned char pattern[kBlock];
    for (size_t i = 0, k = 1 % keyLength; i < period; ++i, k = k + 1 == keyLength ? 0 : k + 1)
        pattern[i] = static_cast<unsigned char>(sign * static_cast<unsigned char>(key[k]));
    for (size_t start = 0; start < size; start += period)
        addBytes(to + start, pattern, std::min(period, size - start));
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

bool scramblesUnsafely(std::string_view plain, uint64_t lineNumber) {
    std::string scrambled;
    return !appendScrambled(scrambled, plain, db2LineKey(lineNumber));
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
