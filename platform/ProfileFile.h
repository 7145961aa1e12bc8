#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

/// A settings file of the INI form: "[section]" header lines, "key=value" lines.
///
/// Reading rules, the same for every file this program writes or reads:
/// - section and key names are compared without regard to ASCII letter case, and blanks
///   around them are ignored (so " Options" is the section "Options");
/// - blanks around "=" and at the ends of a value are ignored; a value wrapped in a pair
///   of matching quotes (" or ') loses them, which is how edge blanks are kept;
/// - lines starting with ';' or '#' are comments; the first match of a section or key wins;
/// - a value read back is at most 2047 characters long.
/// Writing a key replaces that one line, or adds the key (and its section), and keeps
/// every other line as it was. Each write replaces the file in one step; set() then save()
/// stores many keys with one.
class ProfileFile {
  public:
    static constexpr size_t kMaxValueLength = 2047;

    explicit ProfileFile(std::string path);

    /// The stored value, or `fallback` when the file, section or key is missing.
    std::string read(std::string_view section, std::string_view key, std::string_view fallback) const;
    /// Stores a value and writes the file; a failure is thrown (FileError).
    void write(std::string_view section, std::string_view key, std::string_view value);
    /// Stores a value to be written by save().
    void set(std::string_view section, std::string_view key, std::string_view value);
    /// Writes the file with every value set; a failure is thrown (FileError).
    void save() const;

    /// The value as it is written into a key line: quoted when reading would change it.
    static std::string encodeValue(std::string_view value);

  private:
    void load();
    std::optional<size_t> findSection(std::string_view section) const;
    std::optional<size_t> findKey(size_t sectionLine, std::string_view key) const;

    std::string m_path;
    std::vector<std::string> m_lines;
};

} // namespace qm
