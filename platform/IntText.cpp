#include "platform/IntText.h"

#include "platform/Failure.h"

namespace qm {

namespace {
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<int32_t> parseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit = hex ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
        if (value > (hex ? 0xFFFFFFFFull : 0x80000000ull)) return std::nullopt;
    }
    if (hex) {
        // Hexadecimal texts name the 32-bit pattern, so $FFFFFFFF reads as -1.
        auto pattern = static_cast<uint32_t>(value);
        auto result = static_cast<int32_t>(pattern);
        return negative ? static_cast<int32_t>(0u - pattern) : result;
    }
    if (negative) return static_cast<int32_t>(-static_cast<int64_t>(value));
    if (value > 0x7FFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(value);
}

int32_t toInteger(const std::string& text) {
    auto value = parseInteger(text);
    if (!value) throw Failure("'" + text + "' is not a valid integer value");
    return *value;
}

} // namespace qm
