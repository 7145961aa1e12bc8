#include "database/Db2File.h"

#include "database/Db2Format.h"

namespace qm {

Db2Reader::Db2Reader(const std::string& path) : m_file(path) {}

std::string Db2Reader::readLine() {
    std::string line = m_file.readLine();
    unscrambleInPlace(line, db2LineKey(m_next++));
    return line;
}

std::optional<std::string> Db2Reader::readLineStartingWith(char first) {
    std::string line = m_file.readLine();
    const std::string key = db2LineKey(m_next++);
    // The first byte meets key byte 1 (mod the key's length).
    if (line.empty() || static_cast<char>(line[0] - key[1 % key.size()]) != first) return std::nullopt;
    unscrambleInPlace(line, key);
    return line;
}

std::optional<std::string> Db2Reader::readLineOfLength(size_t length) {
    std::string line = m_file.readLine();
    const uint64_t number = m_next++;
    // Scrambling keeps a line's length, so the raw line tells it.
    if (line.size() != length) return std::nullopt;
    unscrambleInPlace(line, db2LineKey(number));
    return line;
}

void Db2Writer::writeLine(std::string_view plain) {
    m_file.writeLine(scrambleLine(plain, db2LineKey(m_next++)));
}

} // namespace qm
