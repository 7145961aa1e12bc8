#pragma once
#include "platform/NativeFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

/// Splits text into lines the way every text file of the program is read: a line ends at
/// CR LF or a lone LF, a lone CR is dropped, the byte 0x1A ends the text, and a read at
/// the end yields an empty line without failing.
class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : m_text(text) {}
    bool atEnd() const;
    std::string readLine();
    /// The next line as readLine() gives it, without a copy where it can: valid until the
    /// next read and while the text lives.
    std::string_view readLineView();

  private:
    std::string_view m_text;
    size_t m_pos = 0;
    std::string m_line; // a line put together around a lone CR
};

/// A text file opened for line reading. The whole file is read at once, so nothing stays
/// open between calls. Opening fails with a FileError.
class TextFileReader {
  public:
    explicit TextFileReader(const std::string& path);
    bool atEnd() const { return m_cursor.atEnd(); }
    std::string readLine() { return m_cursor.readLine(); }
    /// A fresh cursor at the start of the file's text.
    LineCursor cursor() const { return LineCursor(m_bytes); }

  private:
    std::string m_bytes;
    LineCursor m_cursor;
};

/// A text file read line by line a block at a time, so that a file of any size takes the
/// same little memory; lines split as LineCursor splits them. Only a regular file opens,
/// and reading past kMaxReadBytes fails. Failures are FileErrors.
/// Tags for the process's standard input and output, where a tool is told "-".
struct StandardInput {};
struct StandardOutput {};

class TextFileStream {
  public:
    explicit TextFileStream(const std::string& path);
    /// Reads the standard input, whatever it is (a pipe, a terminal, a file).
    explicit TextFileStream(StandardInput);
    ~TextFileStream();
    TextFileStream(const TextFileStream&) = delete;
    TextFileStream& operator=(const TextFileStream&) = delete;

    bool atEnd();
    /// The next line; an empty one at the end.
    std::string readLine();
    /// The next line as readLine() gives it, without a copy where it can: valid until the
    /// next read.
    std::string_view readLineView();
    /// The bytes read from the file and not yet taken, reading the next block when none are
    /// left (empty at the end of the file): for readers that pass over many lines at once.
    std::string_view buffered();
    /// Takes the first `n` bytes of buffered() as read.
    void consume(size_t n) { m_pos += n; }

  private:
    /// The next byte, reading a block when the buffer is used up; -1 at the end.
    int peek();

    std::string m_path;
    NativeFile m_fd = kNoFile;
    std::string m_buffer;
    std::string m_line; // a line that lies across blocks
    size_t m_pos = 0;
    uint64_t m_total = 0;
    bool m_eof = false;
};

/// Far above any real favourites file, database or settings file.
inline constexpr size_t kMaxReadBytes = 256u * 1024 * 1024;
inline constexpr int kTooLargeCode = 8;
inline constexpr const char* kTooLargeText = "File is larger than 256 MiB";

/// Reads a whole regular file's bytes; anything else (a FIFO, a device) and a file over
/// kMaxReadBytes are refused. Fails with a FileError.
std::string readFileBytes(const std::string& path);

/// How written lines end: CR LF for the game's and the program's own files, LF for files
/// that Linux programs (Steam) own.
enum class LineEnd { CrLf, Lf };

/// A text file created (or emptied) for line writing; every line ends with CR LF unless
/// told otherwise. Failures are FileErrors; close() flushes to disk and reports a failed
/// write.
class TextFileWriter {
  public:
    explicit TextFileWriter(const std::string& path, LineEnd lineEnd = LineEnd::CrLf);
    /// Writes into a file already open as `fd`, which it then owns.
    TextFileWriter(NativeFile fd, std::string path, LineEnd lineEnd);
    /// Writes to the standard output.
    TextFileWriter(StandardOutput, LineEnd lineEnd);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    void writeLine(std::string_view line);
    /// Writes a line of `length` bytes that `fill(char* at)` puts straight into the
    /// writer's buffer (a line made from another without a copy between them). When fill
    /// returns false the line is taken back and false returned.
    template <class Fill> bool writeLineFilled(size_t length, Fill fill) {
        const size_t at = m_buffer.size();
        m_buffer.resize(at + length);
        if (!fill(m_buffer.data() + at)) {
            m_buffer.resize(at);
            return false;
        }
        m_buffer.append(m_lineEnd);
        if (m_buffer.size() >= kFlushBytes) flush();
        return true;
    }
    /// Bytes as they are, no line end added.
    void write(std::string_view bytes);
    void close();

  private:
    void flush();
    void writeOut(std::string_view bytes);

    static constexpr uint64_t kEarlyWriteback = 8u << 20;
    /// The buffer goes to the file whenever it holds this much.
    static constexpr size_t kFlushBytes = 1 << 16;

    std::string m_path;
    NativeFile m_fd = kNoFile;
    std::string_view m_lineEnd;
    std::string m_buffer;
    uint64_t m_written = 0;    // bytes handed to the file so far
    uint64_t m_sentToDisk = 0; // of those, bytes whose writing to disk has been started
};

} // namespace qm
