#pragma once
#include "database/Db2File.h"

#include <string>
#include <vector>

namespace qm::test {

/// Writes `lines` as a database file with the program's own writer.
inline void writeDatabase(const std::string& path, const std::vector<std::string>& lines) {
    Db2Writer out(path);
    for (const std::string& l : lines)
        out.writeLine(l);
    out.commit();
}

} // namespace qm::test
