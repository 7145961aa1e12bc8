#include "ui/IpAddressRules.h"

#include "platform/TextTools.h"

#include <algorithm>

namespace qm {

namespace {

constexpr int kMaxPart = 255;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a part's digits, other characters skipped, held at 255 at most so that
// no length of input can overflow.
int partValue(std::string_view part) {
    int value = 0;
    for (char c : part)
        if (isDigit(c)) value = std::min(value * 10 + (c - '0'), kMaxPart + 1);
    return std::min(value, kMaxPart);
}

} // namespace

std::optional<std::array<int, 4>> parseAddressText(std::string_view text) {
    if (text.size() > 15) return std::nullopt;
    std::array<int, 4> parts{};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        if ((i < 3) == (dot == std::string_view::npos)) return std::nullopt;
        const std::string_view piece = text.substr(start, i < 3 ? dot - start : std::string_view::npos);
        if (piece.empty() || piece.size() > 3 || (piece.size() > 1 && piece[0] == '0')) return std::nullopt;
        int value = 0;
        for (char c : piece) {
            if (!isDigit(c)) return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value > kMaxPart) return std::nullopt;
        parts[static_cast<size_t>(i)] = value;
        start = dot + 1;
    }
    return parts;
}

std::string addressTextFromParts(const std::array<std::string, 4>& parts) {
    bool allEmpty = true;
    for (const std::string& p : parts)
        allEmpty = allEmpty && p.empty();
    if (allEmpty) return {};
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
        if (i) text += '.';
        text += std::to_string(partValue(parts[i]));
    }
    return text;
}

bool partIsComplete(std::string_view part) {
    if (part.size() >= 3) return true;
    return !part.empty() && partValue(part) * 10 > kMaxPart;
}

std::optional<std::array<std::string, 4>> partsOfPastedAddress(std::string_view text) {
    text = trimmed(text, true);
    std::array<std::string, 4> parts;
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        if ((i < 3) == (dot == std::string_view::npos)) return std::nullopt;
        const std::string_view piece = text.substr(start, i < 3 ? dot - start : std::string_view::npos);
        if (piece.empty() || piece.size() > 3) return std::nullopt;
        for (char c : piece)
            if (!isDigit(c)) return std::nullopt;
        if (partValue(piece) != std::stoi(std::string(piece))) return std::nullopt;
        parts[i] = std::to_string(partValue(piece));
        start = dot + 1;
    }
    return parts;
}

} // namespace qm
