#pragma once
#include "platform/AtomicFile.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace qm {

/// Reads a database file line by line, each line unscrambled with the key of its number.
/// Opening fails with a FileError; reading past the end yields empty lines.
class Db2Reader {
  public:
    explicit Db2Reader(const std::string& path);
    bool atEnd() { return m_file.atEnd(); }
    std::string readLine();
    /// The next line when its first character is `first`; nothing for any other line,
    /// which is then read past without unscrambling the rest of it.
    std::optional<std::string> readLineStartingWith(char first);
    /// The next line when it is `length` bytes long; nothing for any other line, which is
    /// then read past without unscrambling it.
    std::optional<std::string> readLineOfLength(size_t length);
    /// The number of the line that readLine() returns next.
    uint64_t lineNumber() const { return m_next; }

  private:
    TextFileStream m_file; // a block at a time: databases of any size in little memory
    uint64_t m_next = 0;
};

/// Writes a database file beside its target, each line scrambled with the key of its
/// number and ended with CR LF; commit() puts it in the target's place.
class Db2Writer {
  public:
    explicit Db2Writer(const std::string& path, const AtomicWriteOptions& options = {})
        : m_file(path, options) {}
    void writeLine(std::string_view plain);
    void commit() { m_file.commit(); }

  private:
    AtomicTextFile m_file;
    uint64_t m_next = 0;
};

} // namespace qm
