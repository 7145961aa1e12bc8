#include "database/Db2File.h"

#include "database/Db2Format.h"

namespace qm {

Db2Reader::Db2Reader(const std::string& path) : m_file(path) {}

std::string Db2Reader::readLine() {
    std::string line = m_file.readLine();
    unscrambleInPlace(line, db2LineKey(m_next++));
    return line;
}

void Db2Writer::writeLine(std::string_view plain) {
    m_file.writeLine(scrambleLine(plain, db2LineKey(m_next++)));
}

} // namespace qm
