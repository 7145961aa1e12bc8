#include "platform/AtomicFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {

constexpr mode_t kPermissionBits = 07777;

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh file beside `target`, made with O_EXCL so that nothing of that name, a link
// included, is ever written through. -1 with errno set when the folder refuses.
int createTemporaryBeside(const std::string& target, std::string& name) {
    const std::string folder = folderOf(target);
    std::string pattern = (folder == "/" ? "" : folder) + "/." + baseName(target) + ".XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0) name = pattern;
    return fd;
}

mode_t newFileBits(mode_t wanted) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return wanted & ~mask & kPermissionBits;
}

} // namespace

void replaceFile(const std::string& from, const std::string& linkOrFile) {
    // A link stays a link: the file it leads to is the one replaced.
    const std::string to = finalPathOf(linkOrFile);
    if (writeProtected(to) || writeProtected(folderOf(to))) throw FileError(5);
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(from.c_str(), old.st_mode & kPermissionBits);
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        syncFolder(folderOf(to));
        return;
    }
    if (errno != EXDEV) throwFileError(errno, to);
    // The link leads to another file system: the bytes go across, then `from` goes.
    TextFileStream in(from);
    AtomicTextFile out(to);
    for (std::string_view block = in.buffered(); !block.empty(); block = in.buffered()) {
        out.write(block);
        in.consume(block.size());
    }
    out.commit();
    removeFileQuietly(from);
}

void removeFileQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

AtomicTextFile::AtomicTextFile(const std::string& linkOrFile, const AtomicWriteOptions& options)
    : m_target(finalPathOf(linkOrFile)) {
    const std::string& target = m_target;
    if (writeProtected(target)) throw FileError(5);
    int fd = writeProtected(folderOf(target)) ? (errno = EACCES, -1) : createTemporaryBeside(target, m_temp);
    if (fd < 0) {
        const int err = errno;
        if (!options.writeInPlaceWhenFolderRefuses || !isFile(target) || ::access(target.c_str(), W_OK) != 0)
            throwFileError(err, target);
        fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) throwFileError(errno, target);
    } else {
        struct stat old {};
        const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
        ::fchmod(fd, replacing ? (old.st_mode & kPermissionBits) : newFileBits(options.newFileMode));
    }
    m_writer = std::make_unique<TextFileWriter>(fd, m_temp.empty() ? target : m_temp, options.lineEnd);
}

AtomicTextFile::~AtomicTextFile() {
    m_writer.reset();
    if (!m_committed && !m_temp.empty()) removeFileQuietly(m_temp);
}

void AtomicTextFile::commit() {
    m_writer->close();
    if (!m_temp.empty()) replaceFile(m_temp, m_target);
    m_committed = true;
}

} // namespace qm
