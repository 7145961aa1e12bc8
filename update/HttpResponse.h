#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm {

class ByteSource;

/// The head of an HTTP answer as the client reads it.
struct HttpResponseHead {
    std::string statusLine;
    int code = -1;
    std::vector<std::pair<std::string, std::string>> headers;
    /// The server closed the connection inside the header block.
    bool closedInHead = false;

    /// The value of the first header of that name (any case), trimmed.
    std::optional<std::string> header(const std::string& name) const;
    /// Every value of headers of that name, in order.
    std::vector<std::string> headerValues(const std::string& name) const;
};

/// Reads lines and bodies off a byte source, with the client's limits.
class HttpReader {
  public:
    static constexpr size_t kMaxLineLength = 16384;
    static constexpr size_t kBlockSize = 32768;
    /// A sized body is read straight into its place as much at a time as has come.
    static constexpr size_t kBodyBlockSize = 1 << 20;
    /// A head of more lines or bytes than any real server sends is refused.
    static constexpr size_t kMaxHeaderLines = 100;
    static constexpr size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr int kMaxContinues = 5;
    /// The server closed the connection where more was due.
    static constexpr const char* kClosedGracefully = "Connection Closed Gracefully.";
    static constexpr const char* kHeaderTooLarge =
        "The answer's header is longer than 100 lines or 64 KiB; it was not read";
    static constexpr const char* kTooManyContinues = "The server sent \"100 Continue\" without end";

    HttpReader(ByteSource& source, int waitMs, size_t maxBody)
        : m_source(source), m_wait(waitMs), m_maxBody(maxBody) {}
    void setWait(int waitMs) { m_wait = waitMs; }

    /// A line up to LF without its CR; nothing when the peer closed before its end.
    std::optional<std::string> readLine();
    /// Status line, headers, skipping 100 answers. Fails with "Connection Closed
    /// Gracefully." when the peer closes in the status line or the first header line.
    HttpResponseHead readHead();
    /// The body as the head announces it (length, chunks, or up to the close).
    std::string readBody(const HttpResponseHead& head);
    bool peerClosed() const { return m_closed; }

  private:
    bool fill();
    /// Appends the next `n` bytes of the answer to `body`, reading the source straight into it.
    void readInto(std::string& body, size_t n);
    /// Fails when `more` bytes after the `have` already read would pass the body cap.
    void refuseBeyondLimit(size_t have, size_t more) const;
    void appendBody(std::string& body, std::string_view part) const;

    ByteSource& m_source;
    int m_wait;
    size_t m_maxBody;
    std::string m_buffer;
    size_t m_pos = 0;
    bool m_closed = false;
};

} // namespace qm
