#include "database/Db2Format.h"

namespace qm {

std::string db2LineKey(uint64_t lineNumber) { return std::to_string(lineNumber * kDb2KeyMultiplier); }

namespace {

std::string applyKey(std::string_view text, std::string_view key, int direction) {
    std::string out(text.size(), '\0');
    const size_t keyLength = key.size();
    for (size_t p = 0; p < text.size(); ++p) {
        const auto k = static_cast<unsigned char>(key[(p + 1) % keyLength]);
        const auto t = static_cast<unsigned char>(text[p]);
        out[p] = static_cast<char>(static_cast<unsigned char>(t + direction * k));
    }
    return out;
}

} // namespace

std::string scrambleLine(std::string_view plain, std::string_view key) { return applyKey(plain, key, 1); }

std::string unscrambleLine(std::string_view scrambled, std::string_view key) { return applyKey(scrambled, key, -1); }

bool scramblesUnsafely(std::string_view plain, uint64_t lineNumber) {
    for (char c : scrambleLine(plain, db2LineKey(lineNumber)))
        if (c == '\n' || c == '\r' || c == '\x1A')
            return true;
    return false;
}

std::optional<size_t> firstUnsafeLine(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (scramblesUnsafely(lines[i], i))
            return i;
    return std::nullopt;
}

} // namespace qm
