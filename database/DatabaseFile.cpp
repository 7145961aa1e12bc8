#include "database/DatabaseFile.h"

#include "database/Db2Format.h"
#include "platform/AtomicFile.h"

namespace qm {

std::optional<size_t> writeDatabaseLines(const std::string& path, const std::vector<std::string>& lines) {
    return writeDatabaseLines(path, std::vector<std::string_view>(lines.begin(), lines.end()));
}

std::optional<size_t> writeDatabaseLines(const std::string& path,
                                         const std::vector<std::string_view>& lines) {
    size_t size = 0;
    for (std::string_view line : lines)
        size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    Db2LineKeys keys;
    // The whole file is scrambled in memory first, and then written in one go.
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!appendScrambled(bytes, lines[i], keys.key())) return i;
        bytes.append("\r\n");
        keys.next();
    }
    // The user named this file: when its folder takes no temporary file, write it in place.
    AtomicTextFile out(path, {LineEnd::CrLf, 0666, true});
    out.write(bytes);
    out.commit();
    return std::nullopt;
}

} // namespace qm
