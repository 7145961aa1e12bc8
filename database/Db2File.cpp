#include "database/Db2File.h"

#include "platform/LineBreak.h"

namespace qm {

namespace {

/// The key byte that meets the first byte of each line, line after line, from numbers
/// alone: it is the key's second digit (the key's only digit on line 0), which stays the
/// same over long runs of lines.
class FirstKeyByte {
  public:
    explicit FirstKeyByte(uint64_t line) : m_value(line * kDb2KeyMultiplier) { settle(); }
    char byte() const { return m_byte; }
    void next() {
        m_value += kDb2KeyMultiplier;
        if (m_value >= m_until) settle();
    }

  private:
    void settle() {
        if (m_value < 10) {
            m_byte = static_cast<char>('0' + m_value);
            m_until = m_value + 1;
            return;
        }
        uint64_t unit = 1; // the place value of the second digit
        while (m_value / unit >= 100)
            unit *= 10;
        m_byte = static_cast<char>('0' + m_value / unit % 10);
        m_until = m_value - m_value % unit + unit;
    }

    uint64_t m_value;
    uint64_t m_until = 0;
    char m_byte = '0';
};

// Passes over the lines from `start` that end within whole 64-byte windows holding only
// LF and CR LF ends, many lines per look at the bytes, while `wanted` says no. Returns
// where it stopped: at the start of a wanted line (`found`), or of a line it leaves to be
// read one at a time.
template <LineEndMasks (*masksOf)(const char*), class Wanted>
[[gnu::always_inline]] inline const char* passLinesByWindows(const char* start, const char* end, uint64_t& line,
                                                              const Wanted& wanted, bool& found) {
    const char* lineStart = start;
    uint64_t number = line; // kept in a register, not through the reference
    for (const char* window = start; end - window >= 64; window += 64) {
        const LineEndMasks masks = masksOf(window);
        if (masks.endMark || masks.hasLoneCr()) break;
        for (uint64_t ends = masks.lf; ends != 0; ends &= ends - 1) {
            const int at = __builtin_ctzll(ends);
            // A CR just before the LF ends the line with it; one that stood last in the
            // window before made that window go the slow way, so bit 0 needs no look back.
            const size_t length =
                static_cast<size_t>(window + at - lineStart) - (at > 0 ? (masks.cr >> (at - 1)) & 1 : 0);
            if (wanted(std::string_view(lineStart, length), number)) {
                found = true;
                line = number;
                return lineStart;
            }
            ++number;
            lineStart = window + at + 1;
        }
    }
    line = number;
    return lineStart;
}

#if QM_HAVE_AVX2_PATH
template <class Wanted>
__attribute__((target("avx2"))) const char* passLinesByWindowsAvx2(const char* start, const char* end,
                                                                   uint64_t& line, const Wanted& wanted,
                                                                   bool& found) {
    return passLinesByWindows<lineEndMasksAvx2>(start, end, line, wanted, found);
}
#endif

template <class Wanted>
const char* passLines(const char* start, const char* end, uint64_t& line, const Wanted& wanted, bool& found) {
#if QM_HAVE_AVX2_PATH
    if (hasAvx2()) return passLinesByWindowsAvx2(start, end, line, wanted, found);
#endif
    return passLinesByWindows<lineEndMasks>(start, end, line, wanted, found);
}

} // namespace

Db2Reader::Db2Reader(const std::string& path) : m_file(path) {}

Db2RawLine Db2Reader::readRawLine() {
    if (m_next > 0) m_keys.next();
    ++m_next;
    return {m_file.readLineView(), m_keys.key()};
}

template <class Wanted>
std::optional<Db2RawLine> Db2Reader::readOnTo(const Wanted& wanted) {
    uint64_t line = m_next;
    for (;;) {
        // The lines that lie whole in the block at hand and end in LF or CR LF are looked at
        // where they lie; any other line (across blocks, a lone CR, the end mark) is read
        // as usual.
        const std::string_view block = m_file.buffered();
        if (block.empty()) break;
        const char* const end = block.data() + block.size();
        const char* start = block.data();
        for (bool found = false;;) {
            start = passLines(start, end, line, wanted, found);
            if (found) break;
            const char* brk = findLineBreak(start, end);
            size_t endLength = 0;
            if (brk < end && *brk == '\n')
                endLength = 1;
            else if (end - brk >= 2 && brk[0] == '\r' && brk[1] == '\n')
                endLength = 2;
            if (endLength == 0 || wanted({start, static_cast<size_t>(brk - start)}, line)) break;
            ++line;
            start = brk + endLength;
        }
        m_file.consume(static_cast<size_t>(start - block.data()));
        if (line != m_next) {
            m_keys = Db2LineKeys(line - 1);
            m_next = line;
        }
        if (m_file.atEnd()) break;
        const Db2RawLine raw = readRawLine();
        if (wanted(raw.bytes, line)) return raw;
        line = m_next;
    }
    return std::nullopt;
}

std::optional<Db2RawLine> Db2Reader::readOnToLineStartingWith(char first) {
    // Lines are asked about in order, each once or twice over.
    FirstKeyByte keyByte(m_next);
    uint64_t at = m_next;
    return readOnTo([&](std::string_view bytes, uint64_t line) {
        if (at != line) {
            for (; at < line; ++at)
                keyByte.next();
        }
        return !bytes.empty() && static_cast<char>(bytes[0] - keyByte.byte()) == first;
    });
}

std::optional<Db2RawLine> Db2Reader::readOnToLineOfLength(size_t length) {
    return readOnTo([length](std::string_view bytes, uint64_t) { return bytes.size() == length; });
}

bool Db2Writer::writeLineIfSafe(std::string_view plain) {
    m_scrambled.clear();
    if (!appendScrambled(m_scrambled, plain, m_keys.key())) return false;
    m_file.writeLine(m_scrambled);
    m_keys.next();
    return true;
}

void Db2Writer::writeLine(std::string_view plain) {
    m_scrambled.clear();
    appendScrambled(m_scrambled, plain, m_keys.key());
    m_file.writeLine(m_scrambled);
    m_keys.next();
}

} // namespace qm
