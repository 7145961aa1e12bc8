#pragma once
// Small byte-text helpers the whole program shares. Every one is ASCII-only and ignores
// the C locale, so a name in cp1251 or UTF-8 is never changed by a case rule.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

constexpr char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string asciiLowered(std::string_view text);

/// Equal bytes, ASCII letters of either case taken as the same.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

/// Without the blanks and tabs at both ends (and CR and LF where `lineEnds`).
std::string_view trimmed(std::string_view text, bool lineEnds = false);

/// The text's lines at LF, each without a CR before it; a last line without LF counts.
std::vector<std::string_view> splitLines(std::string_view text);

/// What a peer sent, made safe to show: every control byte (below 0x20, and 0x7F) becomes
/// "\xNN", so a line end or a terminal escape in a server's name cannot forge a line.
std::string escapedControls(std::string_view text);

} // namespace qm
