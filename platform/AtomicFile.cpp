#include "platform/AtomicFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace qm {

void replaceFile(const std::string& from, const std::string& to) {
    if (writeProtected(to) || writeProtected(folderOf(to)))
        throw FileError(5);
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throwFileError(errno, to);
}

void removeFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

void AtomicTextFile::refuseProtectedTarget(const std::string& target) {
    if (writeProtected(target))
        throw FileError(5);
}

AtomicTextFile::AtomicTextFile(const std::string& target)
    : m_target((refuseProtectedTarget(target), target)), m_temp(target + ".part"), m_writer(m_temp) {}

AtomicTextFile::~AtomicTextFile() {
    if (!m_committed)
        removeFileQuietly(m_temp);
}

void AtomicTextFile::commit() {
    m_writer.close();
    replaceFile(m_temp, m_target);
    m_committed = true;
}

} // namespace qm
