#pragma once
// The floors of the file operations: what the machine does at best with the same bytes.
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace qm::bench {

/// The file's bytes read a block at a time, nothing done with them.
inline size_t readTheBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    static char block[1 << 16];
    size_t total = 0;
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
        total += static_cast<size_t>(n);
    ::close(fd);
    return total;
}

/// The same bytes written to a new file and flushed to disk.
inline void writeTheBytes(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (size_t done = 0; done < bytes.size();)
        done += static_cast<size_t>(::write(fd, bytes.data() + done, bytes.size() - done));
    ::fsync(fd);
    ::close(fd);
}

} // namespace qm::bench
