#include "platform/TextFile.h"

#include "platform/FileError.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {
constexpr char kEndOfText = 0x1A;
constexpr size_t kFlushSize = 1 << 16;
} // namespace

bool LineCursor::atEnd() const {
    return m_pos >= m_text.size() || m_text[m_pos] == kEndOfText;
}

std::string LineCursor::readLine() {
    std::string line;
    while (m_pos < m_text.size()) {
        char c = m_text[m_pos];
        if (c == kEndOfText) break; // the text ends here; the cursor stays on the mark
        ++m_pos;
        if (c == '\n') break;
        if (c == '\r') {
            if (m_pos < m_text.size() && m_text[m_pos] == '\n') {
                ++m_pos;
                break;
            }
            continue; // a lone CR is dropped and the line goes on
        }
        line.push_back(c);
    }
    return line;
}

std::string readFileBytes(const std::string& path) {
    // Never blocks on a FIFO: the open does not wait for a writer, and only a regular file
    // is read at all, so a device or pipe where a file belongs cannot hang or flood us.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throwFileError(errno, path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(5);
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxReadBytes) {
        ::close(fd);
        throw FileError(kTooLargeCode, kTooLargeText);
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            throwFileError(err, path);
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<size_t>(n) > kMaxReadBytes) {
            ::close(fd);
            throw FileError(kTooLargeCode, kTooLargeText);
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

TextFileReader::TextFileReader(const std::string& path) : m_bytes(readFileBytes(path)), m_cursor(m_bytes) {}

namespace {
std::string_view lineEndBytes(LineEnd lineEnd) {
    return lineEnd == LineEnd::Lf ? "\n" : "\r\n";
}
} // namespace

TextFileWriter::TextFileWriter(int fd, std::string path, LineEnd lineEnd)
    : m_path(std::move(path)), m_fd(fd), m_lineEnd(lineEndBytes(lineEnd)) {}

TextFileWriter::TextFileWriter(const std::string& path, LineEnd lineEnd)
    : m_path(path), m_lineEnd(lineEndBytes(lineEnd)) {
    if (writeProtected(path) || (!isFile(path) && writeProtected(folderOf(path)))) throw FileError(5);
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) throwFileError(errno, path);
}

TextFileWriter::~TextFileWriter() {
    if (m_fd >= 0) ::close(m_fd);
}

void TextFileWriter::writeLine(std::string_view line) {
    m_buffer.append(line);
    m_buffer.append(m_lineEnd);
    if (m_buffer.size() >= kFlushSize) flush();
}

void TextFileWriter::write(std::string_view bytes) {
    m_buffer.append(bytes);
    if (m_buffer.size() >= kFlushSize) flush();
}

void TextFileWriter::flush() {
    size_t done = 0;
    while (done < m_buffer.size()) {
        ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, m_path);
        }
        done += static_cast<size_t>(n);
    }
    m_buffer.clear();
}

void TextFileWriter::close() {
    if (m_fd < 0) return;
    flush();
    // The file is about to replace one the user cares about: it must be on disk first.
    int rc = ::fsync(m_fd);
    int err = errno;
    ::close(m_fd);
    m_fd = -1;
    if (rc != 0 && err != EINVAL && err != EROFS) throwFileError(err, m_path);
}

} // namespace qm
