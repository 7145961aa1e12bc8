#include "platform/NativeFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

#include <cstdio>
#include <cstdlib>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::nativefile {

namespace {
int fd(NativeFile f) {
    return static_cast<int>(f);
}

NativeFile duplicated(int standard, const std::string& name) {
    const int copy = ::dup(standard);
    if (copy < 0) throwFileError(errno, name);
    return copy;
}
} // namespace

NativeFile openRegular(const std::string& path, uint64_t& size) {
    // O_NONBLOCK: the open does not wait for a FIFO's writer.
    const int f = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (f < 0) throwFileError(errno, path);
    struct stat st {};
    if (::fstat(f, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(f);
        throw FileError(5);
    }
    size = static_cast<uint64_t>(st.st_size);
    return f;
}

NativeFile standardInput() {
    return duplicated(STDIN_FILENO, "standard input");
}

NativeFile standardOutput() {
    return duplicated(STDOUT_FILENO, "standard output");
}

NativeFile createOrTruncate(const std::string& path) {
    const int f = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (f < 0) throwFileError(errno, path);
    return f;
}

size_t readSome(NativeFile f, char* into, size_t max, const std::string& path) {
    for (;;) {
        const ssize_t n = ::read(fd(f), into, max);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) throwFileError(errno, path);
    }
}

void writeAll(NativeFile f, const char* data, size_t size, const std::string& path) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd(f), data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path);
        }
        done += static_cast<size_t>(n);
    }
}

void startWriteback(NativeFile f, uint64_t from, uint64_t length) {
    ::sync_file_range(fd(f), static_cast<off_t>(from), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
}

void sync(NativeFile f, const std::string& path) {
    // A pipe or a terminal (standard output) cannot be synced, and needs not be.
    if (::fsync(fd(f)) != 0 && errno != EINVAL && errno != EROFS) throwFileError(errno, path);
}

void close(NativeFile f) {
    if (f != kNoFile) ::close(fd(f));
}

namespace {

constexpr mode_t kPermissionBits = 07777;

void syncFolder(const std::string& folder) {
    const int f = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (f < 0) return;
    ::fsync(f);
    ::close(f);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

NativeFile createBeside(const std::string& target, std::string& name, int& failure) {
    const std::string folder = folderOf(target);
    std::string pattern = (folder == "/" ? "" : folder) + "/." + baseName(target) + ".XXXXXX";
    // mkostemp makes the file with O_EXCL: nothing of that name, a link included, is
    // written through.
    const int f = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (f < 0) {
        failure = fileErrorCode(errno, target);
        return kNoFile;
    }
    name = pattern;
    return f;
}

NativeFile openInPlace(const std::string& target) {
    const int f = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (f < 0) throwFileError(errno, target);
    return f;
}

bool fileTakesWrites(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

void takePermissions(NativeFile f, const std::string& replaced, unsigned newFileMode) {
    struct stat old {};
    if (::stat(replaced.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd(f), old.st_mode & kPermissionBits);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd(f), static_cast<mode_t>(newFileMode) & ~mask & kPermissionBits);
}

bool moveOver(const std::string& from, const std::string& to) {
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(from.c_str(), old.st_mode & kPermissionBits);
    if (std::rename(from.c_str(), to.c_str()) == 0) {
        syncFolder(folderOf(to));
        return true;
    }
    if (errno == EXDEV) return false;
    throwFileError(errno, to);
}

void removeQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

} // namespace qm::nativefile
