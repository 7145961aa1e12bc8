#include "update/HttpResponse.h"

#include <cstdint>

#include "platform/Failure.h"
#include "platform/IntText.h"
#include "platform/LargeBuffer.h"
#include "platform/TextTools.h"
#include "update/ByteSource.h"

#include <algorithm>
#include <cctype>

namespace qm {

namespace {

std::string trim(std::string_view s) {
    return std::string(trimmed(s));
}

int statusCode(const std::string& statusLine) {
    const size_t blank = statusLine.find(' ');
    if (blank == std::string::npos) return -1;
    const std::string rest = trim(statusLine.substr(blank + 1));
    const auto code = parseInteger(rest.substr(0, rest.find(' ')));
    return code ? *code : -1;
}

// A chunk size line: hexadecimal digits up to the first blank, 0 when it is not a number.
// A chunk's size, hex digits before any extension; leading zeros are fine, and a size
// too large for any body comes back as the largest value so the body cap refuses it.
size_t chunkSize(const std::string& line) {
    const std::string digits = trim(line.substr(0, line.find_first_of(" ;")));
    if (digits.empty()) return 0;
    size_t n = 0;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
        const size_t digit = static_cast<size_t>(
            std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (asciiLower(c) - 'a' + 10));
        if (n > (SIZE_MAX >> 4)) return SIZE_MAX;
        n = n * 16 + digit;
    }
    return n;
}

} // namespace

std::optional<std::string> HttpResponseHead::header(const std::string& name) const {
    for (const auto& [n, v] : headers)
        if (equalsIgnoringCase(n, name)) return trim(v);
    return std::nullopt;
}

std::vector<std::string> HttpResponseHead::headerValues(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [n, v] : headers)
        if (equalsIgnoringCase(n, name)) values.push_back(trim(v));
    return values;
}

bool HttpReader::fill() {
    if (m_closed) return false;
    if (m_pos > 0 && m_pos == m_buffer.size()) {
        m_buffer.clear();
        m_pos = 0;
    }
    char chunk[kBlockSize];
    const size_t n = m_source.read(chunk, sizeof chunk, m_wait);
    if (n == 0) {
        m_closed = true;
        return false;
    }
    m_buffer.append(chunk, n);
    return true;
}

std::optional<std::string> HttpReader::readLine() {
    size_t scanned = m_pos;
    for (;;) {
        const size_t lf = m_buffer.find('\n', scanned);
        if (lf != std::string::npos) {
            std::string line = m_buffer.substr(m_pos, lf - m_pos);
            m_pos = lf + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() > kMaxLineLength) throw Failure("Max line length exceeded.");
            return line;
        }
        if (m_buffer.size() - m_pos > kMaxLineLength + 1) throw Failure("Max line length exceeded.");
        scanned = m_buffer.size();
        const size_t offset = m_pos;
        if (!fill()) return std::nullopt;
        scanned -= offset - m_pos; // fill() may have moved the buffer's start
    }
}

void HttpReader::readInto(std::string& body, size_t n) {
    // What the buffer already holds goes first; the rest comes straight from the source
    // into its place in the body, made room for once, so a large page is in memory once.
    const size_t buffered = std::min(n, m_buffer.size() - m_pos);
    body.append(m_buffer, m_pos, buffered);
    m_pos += buffered;
    const size_t start = body.size();
    const size_t left = n - buffered;
    body.resize(start + left);
    for (size_t done = 0; done < left;) {
        const size_t got = m_closed ? 0
                                    : m_source.read(body.data() + start + done,
                                                    std::min(left - done, kBodyBlockSize), m_wait);
        if (got == 0) {
            m_closed = true;
            body.resize(start + done);
            throw Failure(kClosedGracefully);
        }
        done += got;
    }
}

HttpResponseHead HttpReader::readHead() {
    HttpResponseHead head;
    int continues = 0;
    do {
        // A server may send a few "100 Continue" heads first; one that never stops is a fault.
        if (continues++ > kMaxContinues) throw Failure(kTooManyContinues);
        head = HttpResponseHead();
        size_t headBytes = 0;
        size_t headLines = 0;
        const auto status = readLine();
        if (!status) throw Failure(HttpReader::kClosedGracefully);
        head.statusLine = *status;
        head.code = statusCode(*status);
        bool first = true;
        for (;;) {
            const auto line = readLine();
            if (!line) {
                // Inside the first header line a close is a failure; later it ends the head.
                if (first) throw Failure(HttpReader::kClosedGracefully);
                head.closedInHead = true;
                break;
            }
            first = false;
            if (line->empty()) break;
            headBytes += line->size() + 2;
            if (++headLines > kMaxHeaderLines || headBytes > kMaxHeaderBytes) throw Failure(kHeaderTooLarge);
            if ((line->front() == ' ' || line->front() == '\t') && !head.headers.empty()) {
                // A folded line continues the value: append, never copy the value again.
                std::string& value = head.headers.back().second;
                while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
                    value.pop_back();
                value.append(" ").append(trim(*line));
                continue;
            }
            const size_t colon = line->find(':');
            if (colon == std::string::npos) continue;
            std::string value = line->substr(colon + 1);
            if (!value.empty() && value.front() == ' ') value.erase(0, 1);
            head.headers.emplace_back(line->substr(0, colon), value);
        }
    } while (head.code == 100 && !head.closedInHead);
    return head;
}

void HttpReader::refuseBeyondLimit(size_t have, size_t more) const {
    // Compared without adding: a hostile chunk size near SIZE_MAX must not wrap past the cap.
    if (have > m_maxBody || more > m_maxBody - have)
        throw Failure("The answer is larger than " + std::to_string(m_maxBody / (1024 * 1024)) +
                      " MiB; it was not read");
}

void HttpReader::appendBody(std::string& body, std::string_view part) const {
    refuseBeyondLimit(body.size(), part.size());
    body += part;
}

std::string HttpReader::readBody(const HttpResponseHead& head) {
    std::string body;
    if (head.code == 204) return body;
    const auto lengthText = head.header("Content-Length");
    const auto length = lengthText ? parseInteger(*lengthText) : std::nullopt;
    if (length && *length > 0) {
        refuseBeyondLimit(0, static_cast<size_t>(*length));
        body.reserve(static_cast<size_t>(*length));
        adviseLargeBuffer(body.data(), body.capacity());
        // A body that ends before its announced length is not the page it claims to be.
        readInto(body, static_cast<size_t>(*length));
        return body;
    }
    const auto encoding = head.header("Transfer-Encoding");
    if (encoding && encoding->find("chunked") != std::string::npos) {
        for (;;) {
            const auto sizeLine = readLine();
            if (!sizeLine) throw Failure(HttpReader::kClosedGracefully);
            const size_t size = chunkSize(*sizeLine);
            if (size == 0) break;
            refuseBeyondLimit(body.size(), size);
            readInto(body, size);
            readLine();
        }
        readLine(); // the line after the last chunk
        return body;
    }
    if (length) return body; // Content-Length: 0
    // No length and no chunks: the body runs until the server closes.
    appendBody(body, std::string_view(m_buffer).substr(m_pos));
    m_pos = m_buffer.size();
    while (!m_closed) {
        // One byte past the cap at most: enough to tell a body over it.
        const size_t at = body.size();
        const size_t want = std::min(kBlockSize, m_maxBody + 1 - at);
        body.resize(at + want);
        const size_t got = m_source.read(body.data() + at, want, m_wait);
        body.resize(at + got);
        if (got == 0) m_closed = true;
        refuseBeyondLimit(0, body.size());
    }
    return body;
}

} // namespace qm
