#include "platform/TextFile.h"

#include "platform/FileError.h"
#include "platform/LineBreak.h"
#include "platform/Paths.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace {
constexpr size_t kReadBlock = 1 << 16;
} // namespace

bool LineCursor::atEnd() const {
    return m_pos >= m_text.size() || m_text[m_pos] == kEndOfText;
}

namespace {

// How far from `from` the run of bytes goes that ends no line: up to LF, CR or 0x1A.
size_t plainRun(const char* from, const char* end) {
    return static_cast<size_t>(findLineBreak(from, end) - from);
}

} // namespace

std::string_view LineCursor::readLineView() {
    // Most lines end in LF or CR LF, at the end of the text or at its end mark: those are
    // handed out where they lie. One that holds a lone CR is put together.
    const char* begin = m_text.data() + m_pos;
    const char* end = m_text.data() + m_text.size();
    if (m_pos >= m_text.size()) return {};
    const char* brk = findLineBreak(begin, end);
    const size_t length = static_cast<size_t>(brk - begin);
    if (brk == end || *brk == kEndOfText) {
        m_pos += length;
        return {begin, length};
    }
    if (*brk == '\n') {
        m_pos += length + 1;
        return {begin, length};
    }
    if (end - brk >= 2 && brk[1] == '\n') {
        m_pos += length + 2;
        return {begin, length};
    }
    m_line = readLine();
    return m_line;
}

std::string LineCursor::readLine() {
    std::string line;
    while (m_pos < m_text.size()) {
        const size_t run = plainRun(m_text.data() + m_pos, m_text.data() + m_text.size());
        line.append(m_text.data() + m_pos, run);
        m_pos += run;
        if (m_pos == m_text.size()) break;
        const char c = m_text[m_pos];
        if (c == kEndOfText) break; // the text ends here; the cursor stays on the mark
        ++m_pos;
        if (c == '\n') break;
        if (m_pos < m_text.size() && m_text[m_pos] == '\n') {
            ++m_pos;
            break;
        }
        // a lone CR is dropped and the line goes on
    }
    return line;
}

namespace {

// Never blocks on a FIFO: the open does not wait for a writer, and only a regular file is
// read at all, so a device or pipe where a file belongs cannot hang or flood us.
int openRegularFile(const std::string& path, struct stat& st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throwFileError(errno, path);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(5);
    }
    return fd;
}

} // namespace

TextFileStream::TextFileStream(const std::string& path) : m_path(path) {
    struct stat st {};
    m_fd = openRegularFile(path, st);
}

TextFileStream::TextFileStream(StandardInput) : m_path("standard input") {
    m_fd = ::dup(STDIN_FILENO);
    if (m_fd < 0) throwFileError(errno, m_path);
}

TextFileStream::~TextFileStream() {
    ::close(m_fd);
}

int TextFileStream::peek() {
    if (m_pos < m_buffer.size()) return static_cast<unsigned char>(m_buffer[m_pos]);
    if (m_eof) return -1;
    m_buffer.resize(kReadBlock);
    m_pos = 0;
    for (;;) {
        const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throwFileError(errno, m_path);
        m_buffer.resize(static_cast<size_t>(n));
        m_total += static_cast<uint64_t>(n);
        if (m_total > kMaxReadBytes) throw FileError(kTooLargeCode, kTooLargeText);
        if (n == 0) {
            m_eof = true;
            return -1;
        }
        return static_cast<unsigned char>(m_buffer[0]);
    }
}

std::string_view TextFileStream::buffered() {
    if (peek() < 0) return {};
    return std::string_view(m_buffer).substr(m_pos);
}

bool TextFileStream::atEnd() {
    const int c = peek();
    return c < 0 || c == kEndOfText;
}

std::string_view TextFileStream::readLineView() {
    // Most lines lie whole in the block at hand and end in LF or CR LF: those are handed
    // out where they lie. One that runs into the next block, holds a lone CR or stands at
    // the end is put together in a buffer of its own.
    if (m_pos < m_buffer.size()) {
        const char* begin = m_buffer.data() + m_pos;
        const char* end = m_buffer.data() + m_buffer.size();
        const char* brk = findLineBreak(begin, end);
        const size_t length = static_cast<size_t>(brk - begin);
        if (brk < end && *brk == '\n') {
            m_pos += length + 1;
            return {begin, length};
        }
        if (end - brk >= 2 && brk[0] == '\r' && brk[1] == '\n') {
            m_pos += length + 2;
            return {begin, length};
        }
        if (brk < end && *brk == kEndOfText) {
            m_pos += length;
            return {begin, length};
        }
    }
    m_line = readLine();
    return m_line;
}

std::string TextFileStream::readLine() {
    std::string line;
    while (peek() >= 0) {
        const char* data = m_buffer.data();
        const size_t run = plainRun(data + m_pos, data + m_buffer.size());
        line.append(data + m_pos, run);
        m_pos += run;
        if (m_pos == m_buffer.size()) continue; // the line goes on in the next block
        const char c = m_buffer[m_pos];
        if (c == kEndOfText) break;
        ++m_pos;
        if (c == '\n') break;
        if (peek() == '\n') {
            ++m_pos;
            break;
        }
        // a lone CR is dropped and the line goes on
    }
    return line;
}

std::string readFileBytes(const std::string& path) {
    struct stat st {};
    const int fd = openRegularFile(path, st);
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

TextFileWriter::TextFileWriter(StandardOutput, LineEnd lineEnd)
    : TextFileWriter(::dup(STDOUT_FILENO), "standard output", lineEnd) {
    if (m_fd < 0) throwFileError(errno, m_path);
}

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
    if (m_buffer.size() >= TextFileWriter::kFlushBytes) flush();
}

void TextFileWriter::write(std::string_view bytes) {
    if (bytes.size() >= TextFileWriter::kFlushBytes) {
        // Large enough to go to the file as it is, without a copy into the buffer.
        flush();
        writeOut(bytes);
        return;
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= TextFileWriter::kFlushBytes) flush();
}

void TextFileWriter::writeOut(std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, m_path);
        }
        done += static_cast<size_t>(n);
    }
    m_written += done;
#if defined(__linux__)
    // A large file goes to disk while the rest is still being made, so that the flush at
    // close has only the tail left to wait for.
    if (m_written - m_sentToDisk >= kEarlyWriteback) {
        ::sync_file_range(m_fd, static_cast<off_t>(m_sentToDisk),
                          static_cast<off_t>(m_written - m_sentToDisk), SYNC_FILE_RANGE_WRITE);
        m_sentToDisk = m_written;
    }
#endif
}

void TextFileWriter::flush() {
    writeOut(m_buffer);
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
