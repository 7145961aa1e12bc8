#include "database/Db2Format.h"

#include <algorithm>

namespace qm {

std::string db2LineKey(uint64_t lineNumber) {
    return std::to_string(lineNumber * kDb2KeyMultiplier);
}

namespace {

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
    for (size_t start = 0; start < size; start += period) {
        const size_t n = std::min(period, size - start);
        for (size_t i = 0; i < n; ++i)
            to[start + i] = static_cast<unsigned char>(to[start + i] + pattern[i]);
    }
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

bool scramblesUnsafely(std::string_view plain, uint64_t lineNumber) {
    for (char c : scrambleLine(plain, db2LineKey(lineNumber)))
        if (c == '\n' || c == '\r' || c == '\x1A') return true;
    return false;
}

std::optional<size_t> firstUnsafeLine(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (scramblesUnsafely(lines[i], i)) return i;
    return std::nullopt;
}

} // namespace qm
