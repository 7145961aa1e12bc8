#pragma once
#include "database/Db2Format.h"
#include "platform/AtomicFile.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

/// A line of a database as it lies in the file, with the key that unscrambles it. Both
/// are valid until the next read.
struct Db2RawLine {
    std::string_view bytes;
    std::string_view key;
    /// The first character of the plain line; 0 for an empty line.
    char first() const { return bytes.empty() ? '\0' : unscrambledByte(bytes, key, 0); }
    std::string plain() const { return unscrambleLine(bytes, key); }
};

/// Reads a database file line by line, each line unscrambled with the key of its number.
/// Opening fails with a FileError; reading past the end yields empty lines.
class Db2Reader {
  public:
    explicit Db2Reader(const std::string& path);
    explicit Db2Reader(StandardInput);
    bool atEnd() { return m_file.atEnd(); }
    std::string readLine() { return readRawLine().plain(); }
    /// The next line as stored: for readers that look at a few bytes of most lines and
    /// unscramble only the lines they keep.
    Db2RawLine readRawLine();
    /// Passes over lines up to the first whose plain text starts with `first`, and reads
    /// that one; nothing when the file ends first.
    std::optional<Db2RawLine> readOnToLineStartingWith(char first);
    /// Passes over lines up to the first that is `length` bytes long (scrambling keeps a
    /// line's length), and reads that one; nothing when the file ends first.
    std::optional<Db2RawLine> readOnToLineOfLength(size_t length);

  private:
    /// Passes over the lines for which `wanted(bytes as stored, line number)` is false,
    /// without making their keys, and reads the first for which it is true; `skip` may rule
    /// out many lines at once.
    template <class Wanted, class Skip>
    std::optional<Db2RawLine> readOnTo(const Wanted& wanted, const Skip& skip);

    TextFileStream m_file; // a block at a time: databases of any size in little memory
    Db2LineKeys m_keys;
    uint64_t m_next = 0; // the number of the line read next
};

/// Writes a database file beside its target, each line scrambled with the key of its
/// number and ended with CR LF; commit() puts it in the target's place.
class Db2Writer {
  public:
    explicit Db2Writer(const std::string& path, const AtomicWriteOptions& options = {})
        : m_file(path, options) {}
    void writeLine(std::string_view plain);
    /// Writes the line unless a scrambled byte of it would end or cut the line; false then,
    /// with nothing written.
    bool writeLineIfSafe(std::string_view plain);
    void commit() { m_file.commit(); }

  private:
    AtomicTextFile m_file;
    Db2LineKeys m_keys;
    std::string m_scrambled;
};

} // namespace qm
