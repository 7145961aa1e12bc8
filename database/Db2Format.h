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

/// The keys of consecutive lines, for readers and writers that go down a file: the key of
/// the next line is the key of this one plus the multiplier, added in decimal digits, so
/// that no key is made from a number.
class Db2LineKeys {
  public:
    explicit Db2LineKeys(uint64_t firstLine = 0);
    /// The key of the current line.
    std::string_view key() const { return {m_digits + m_begin, kDigits - m_begin}; }
    /// Moves on to the next line.
    void next();

  private:
    static constexpr size_t kDigits = 24; // the product of any 64-bit line number and the multiplier
    char m_digits[kDigits];
    size_t m_begin; // the key is m_digits[m_begin..kDigits)
};

/// Adds (scramble) or subtracts (unscramble) the key bytes modulo 256; text byte p meets
/// key byte (p + 1) mod L. The text keeps its length.
std::string scrambleLine(std::string_view plain, std::string_view key);
std::string unscrambleLine(std::string_view scrambled, std::string_view key);
void unscrambleInPlace(std::string& scrambled, std::string_view key);
/// Scrambles `plain` onto the end of `out`; false when a scrambled byte would end or cut
/// the line (LF, CR, 0x1A), so that the line could not be read back.
bool appendScrambled(std::string& out, std::string_view plain, std::string_view key);
/// `scrambled` unscrambled into `out`, which it replaces.
void assignUnscrambled(std::string& out, std::string_view scrambled, std::string_view key);
/// The same straight into `to`, which has room for the text: for writers that make the
/// line in their own buffer. scrambleInto() says whether the line can be read back.
void unscrambleInto(char* to, std::string_view scrambled, std::string_view key);
bool scrambleInto(char* to, std::string_view plain, std::string_view key);
/// The byte at `position` of the plain text of a scrambled line.
inline char unscrambledByte(std::string_view scrambled, std::string_view key, size_t position) {
    return static_cast<char>(scrambled[position] - key[(position + 1) % key.size()]);
}

/// The first of `lines` (line 0 first) that cannot be stored, if any.
std::optional<size_t> firstUnsafeLine(const std::vector<std::string>& lines);

} // namespace qm
