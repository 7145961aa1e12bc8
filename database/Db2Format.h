#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// Every line of a database file is scrambled with a key made from its line number:
/// the decimal digits of the number times this multiplier. Changing it makes every
/// existing database unreadable.
inline constexpr uint64_t kDb2KeyMultiplier = 317;

/// Line 0 of every database file.
inline constexpr std::string_view kDb2ProductName = "Quillmark";

/// The key of line `lineNumber` (counted from 0).
std::string db2LineKey(uint64_t lineNumber);

/// Adds (scramble) or subtracts (unscramble) the key bytes modulo 256; text byte p meets
/// key byte (p + 1) mod L. The text keeps its length.
std::string scrambleLine(std::string_view plain, std::string_view key);
std::string unscrambleLine(std::string_view scrambled, std::string_view key);
void unscrambleInPlace(std::string& scrambled, std::string_view key);

/// True when line `lineNumber` would scramble to a byte that ends or cuts a line (LF,
/// CR, 0x1A), so that it could not be read back.
bool scramblesUnsafely(std::string_view plain, uint64_t lineNumber);

/// The first of `lines` (line 0 first) that cannot be stored, if any.
std::optional<size_t> firstUnsafeLine(const std::vector<std::string>& lines);

} // namespace qm
