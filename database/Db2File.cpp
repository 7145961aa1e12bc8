#include "database/Db2File.h"

#include "database/Db2Format.h"

namespace qm {

Db2Reader::Db2Reader(const std::string& path) : m_file(path) {}

std::string Db2Reader::readLine() {
    const std::string raw = m_file.readLine();
    return unscrambleLine(raw, db2LineKey(m_next++));
}

void Db2Writer::writeLine(std::string_view plain) { m_file.writeLine(scrambleLine(plain, db2LineKey(m_next++))); }

} // namespace qm
