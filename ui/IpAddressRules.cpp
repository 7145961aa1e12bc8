#include "ui/IpAddressRules.h"

namespace qm {

std::optional<std::array<int, 4>> parseAddressText(std::string_view text) {
    if (text.size() > 15)
        return std::nullopt;
    std::array<int, 4> parts{};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        if ((i < 3) == (dot == std::string_view::npos))
            return std::nullopt;
        const std::string_view piece = text.substr(start, i < 3 ? dot - start : std::string_view::npos);
        if (piece.empty() || piece.size() > 3 || (piece.size() > 1 && piece[0] == '0'))
            return std::nullopt;
        int value = 0;
        for (char c : piece) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > 255)
            return std::nullopt;
        parts[static_cast<size_t>(i)] = value;
        start = dot + 1;
    }
    return parts;
}

std::string addressTextFromParts(const std::array<std::string, 4>& parts) {
    bool allEmpty = true;
    for (const std::string& p : parts)
        allEmpty = allEmpty && p.empty();
    if (allEmpty)
        return {};
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
        int value = 0;
        for (char c : parts[i])
            if (c >= '0' && c <= '9')
                value = value * 10 + (c - '0');
        if (i)
            text += '.';
        text += std::to_string(value);
    }
    return text;
}

} // namespace qm
