#include "platform/TextFile.h"

#include "platform/FileError.h"
#include "platform/LineBreak.h"
#include "platform/Paths.h"

#include "platform/NativeFile.h"

#include <cstdint>
#include <utility>

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

TextFileStream::TextFileStream(const std::string& path) : m_path(path) {
    uint64_t size = 0;
    m_fd = nativefile::openRegular(path, size);
}

TextFileStream::TextFileStream(StandardInput) : m_path("standard input"), m_fd(nativefile::standardInput()) {}

TextFileStream::~TextFileStream() {
    nativefile::close(m_fd);
}

int TextFileStream::peek() {
    if (m_pos < m_buffer.size()) return static_cast<unsigned char>(m_buffer[m_pos]);
    if (m_eof) return -1;
    m_buffer.resize(kReadBlock);
    m_pos = 0;
    const size_t n = nativefile::readSome(m_fd, m_buffer.data(), m_buffer.size(), m_path);
    m_buffer.resize(n);
    m_total += n;
    if (m_total > kMaxReadBytes) throw FileError(kTooLargeCode, kTooLargeText);
    if (n == 0) {
        m_eof = true;
        return -1;
    }
    return static_cast<unsigned char>(m_buffer[0]);
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
    uint64_t size = 0;
    const NativeFile f = nativefile::openRegular(path, size);
    std::string bytes;
    try {
        if (size > kMaxReadBytes) throw FileError(kTooLargeCode, kTooLargeText);
        bytes.reserve(static_cast<size_t>(size));
        char chunk[65536];
        // The size is read again as the bytes come: a file that grows is cut off too.
        while (const size_t n = nativefile::readSome(f, chunk, sizeof chunk, path)) {
            if (bytes.size() + n > kMaxReadBytes) throw FileError(kTooLargeCode, kTooLargeText);
            bytes.append(chunk, n);
        }
    } catch (...) {
        nativefile::close(f);
        throw;
    }
    nativefile::close(f);
    return bytes;
}

TextFileReader::TextFileReader(const std::string& path) : m_bytes(readFileBytes(path)), m_cursor(m_bytes) {}

namespace {
std::string_view lineEndBytes(LineEnd lineEnd) {
    return lineEnd == LineEnd::Lf ? "\n" : "\r\n";
}
} // namespace

TextFileWriter::TextFileWriter(NativeFile fd, std::string path, LineEnd lineEnd)
    : m_path(std::move(path)), m_fd(fd), m_lineEnd(lineEndBytes(lineEnd)) {}

TextFileWriter::TextFileWriter(StandardOutput, LineEnd lineEnd)
    : TextFileWriter(nativefile::standardOutput(), "standard output", lineEnd) {}

TextFileWriter::TextFileWriter(const std::string& path, LineEnd lineEnd)
    : m_path(path), m_lineEnd(lineEndBytes(lineEnd)) {
    if (writeProtected(path) || (!isFile(path) && writeProtected(folderOf(path)))) throw FileError(5);
    m_fd = nativefile::createOrTruncate(path);
}

TextFileWriter::~TextFileWriter() {
    nativefile::close(m_fd);
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
    nativefile::writeAll(m_fd, bytes.data(), bytes.size(), m_path);
    m_written += bytes.size();
    // A large file goes to disk while the rest is still being made, so that the flush at
    // close has only the tail left to wait for.
    if (m_written - m_sentToDisk >= kEarlyWriteback) {
        nativefile::startWriteback(m_fd, m_sentToDisk, m_written - m_sentToDisk);
        m_sentToDisk = m_written;
    }
}

void TextFileWriter::flush() {
    writeOut(m_buffer);
    m_buffer.clear();
}

void TextFileWriter::close() {
    if (m_fd == kNoFile) return;
    flush();
    // The file is about to replace one the user cares about: it must be on disk first.
    const NativeFile f = std::exchange(m_fd, kNoFile);
    try {
        nativefile::sync(f, m_path);
    } catch (...) {
        nativefile::close(f);
        throw;
    }
    nativefile::close(f);
}

} // namespace qm
