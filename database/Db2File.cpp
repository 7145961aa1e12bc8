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
    /// Moves on to a later line.
    void moveTo(uint64_t line) {
        m_value = line * kDb2KeyMultiplier;
        if (m_value >= m_until) settle();
    }
    /// Whether the byte stays the same from the current line over the next `count`.
    bool sameFor(uint64_t count) const { return m_value + count * kDb2KeyMultiplier < m_until; }

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
// LF and CR LF ends, many lines per look at the bytes, while `wanted` says no; a window
// whose lines `skip` rules out is passed over at once. Returns where it stopped: at the
// start of a wanted line (`found`), or of a line it leaves to be read one at a time.
template <LineEndMasks (*masksOf)(const char*), uint64_t (*byteMaskOf)(const char*, char), class Wanted,
          class Skip>
[[gnu::always_inline]] inline const char* passLinesByWindows(const char* start, const char* end,
                                                             uint64_t& line, const Wanted& wanted,
                                                             const Skip& skip, bool& found) {
    const char* lineStart = start;
    uint64_t number = line; // kept in a register, not through the reference
    for (const char* window = start; end - window >= 64; window += 64) {
        const LineEndMasks masks = masksOf(window);
        if (masks.endMark || masks.hasLoneCr()) break;
        if (masks.lf != 0 && skip.passesOver(window, masks, lineStart, number, byteMaskOf)) {
            number += static_cast<uint64_t>(__builtin_popcountll(masks.lf));
            lineStart = window + (63 - __builtin_clzll(masks.lf)) + 1;
            continue;
        }
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
template <class Wanted, class Skip>
__attribute__((target("avx2"))) const char* passLinesByWindowsAvx2(const char* start, const char* end,
                                                                   uint64_t& line, const Wanted& wanted,
                                                                   const Skip& skip, bool& found) {
    return passLinesByWindows<lineEndMasksAvx2, byteMaskAvx2>(start, end, line, wanted, skip, found);
}
#endif

template <class Wanted, class Skip>
const char* passLines(const char* start, const char* end, uint64_t& line, const Wanted& wanted,
                      const Skip& skip, bool& found) {
#if QM_HAVE_AVX2_PATH
    if (hasAvx2() && !lineScanForced(LineScan::Sse2))
        return passLinesByWindowsAvx2(start, end, line, wanted, skip, found);
#endif
    if (lineScanForced(LineScan::Plain))
        return passLinesByWindows<lineEndMasksPlain, byteMaskPlain>(start, end, line, wanted, skip, found);
    return passLinesByWindows<lineEndMasks, byteMask>(start, end, line, wanted, skip, found);
}

/// Rules out the windows where no line that ends there starts with a given character: with
/// the key byte the same for all of them, the scrambled character is one byte to look for
/// at every line's start at once.
class LinesStartingWith {
  public:
    LinesStartingWith(char first, FirstKeyByte& keyByte) : m_first(first), m_keyByte(keyByte) {}
    template <class ByteMask>
    bool passesOver(const char* window, const LineEndMasks& masks, const char* lineStart, uint64_t number,
                    ByteMask byteMaskOf) const {
        const auto lines = static_cast<uint64_t>(__builtin_popcountll(masks.lf));
        m_keyByte.moveTo(number);
        if (!m_keyByte.sameFor(lines)) return false;
        const char scrambled = static_cast<char>(m_first + m_keyByte.byte());
        // The first line may have begun in an earlier window; the others begin after each
        // LF but the last. An empty line begins with its CR or LF, never the character.
        const uint64_t lastEnd = uint64_t{1} << (63 - __builtin_clzll(masks.lf));
        const uint64_t starts = (masks.lf & ~lastEnd) << 1;
        return *lineStart != scrambled && (byteMaskOf(window, scrambled) & starts) == 0;
    }

  private:
    char m_first;
    FirstKeyByte& m_keyByte;
};

/// Rules out the windows where no line that ends there is of a given length: two line ends
/// that far apart (one more for a CR before the LF) are looked for all at once.
class LinesOfLength {
  public:
    explicit LinesOfLength(size_t length) : m_length(length) {}
    template <class ByteMask>
    bool passesOver(const char* window, const LineEndMasks& masks, const char* lineStart, uint64_t,
                    ByteMask) const {
        if (m_length + 2 >= 64) return false;
        // The first line may have begun in an earlier window: its length is counted.
        const int first = __builtin_ctzll(masks.lf);
        const size_t firstLength =
            static_cast<size_t>(window + first - lineStart) - (first > 0 ? (masks.cr >> (first - 1)) & 1 : 0);
        if (firstLength == m_length) return false;
        // Every other line begins after an LF in this window.
        const uint64_t laterEnds = masks.lf & (masks.lf - 1);
        const uint64_t endsThatFar = (masks.lf << (m_length + 1)) | (masks.lf << (m_length + 2));
        return (laterEnds & endsThatFar) == 0;
    }

  private:
    size_t m_length;
};

} // namespace

Db2Reader::Db2Reader(const std::string& path) : m_file(path) {}
Db2Reader::Db2Reader(StandardInput) : m_file(StandardInput{}) {}

Db2RawLine Db2Reader::readRawLine() {
    if (m_next > 0) m_keys.next();
    ++m_next;
    return {m_file.readLineView(), m_keys.key()};
}

template <class Wanted, class Skip>
std::optional<Db2RawLine> Db2Reader::readOnTo(const Wanted& wanted, const Skip& skip) {
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
            start = passLines(start, end, line, wanted, skip, found);
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
    // Lines are asked about in order.
    FirstKeyByte keyByte(m_next);
    return readOnTo(
        [&](std::string_view bytes, uint64_t line) {
            keyByte.moveTo(line);
            return !bytes.empty() && static_cast<char>(bytes[0] - keyByte.byte()) == first;
        },
        LinesStartingWith(first, keyByte));
}

std::optional<Db2RawLine> Db2Reader::readOnToLineOfLength(size_t length) {
    return readOnTo([length](std::string_view bytes, uint64_t) { return bytes.size() == length; },
                    LinesOfLength(length));
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
