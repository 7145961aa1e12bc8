#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QM_HAVE_AVX2_PATH 1
#endif

namespace qm {

/// The byte that marks the end of a text in the files the program reads.
inline constexpr char kEndOfText = 0x1A;

inline bool isLineBreakByte(char c) {
    return c == '\n' || c == '\r' || c == kEndOfText;
}

/// Which version of the line scanners runs: the fastest the processor has, unless a test
/// forces a slower one to hold it against the others.
enum class LineScan { Fastest, Sse2, Plain };
inline std::atomic<LineScan>& lineScanChoice() {
    static std::atomic<LineScan> choice{LineScan::Fastest};
    return choice;
}
inline bool lineScanForced(LineScan slowest) {
    return lineScanChoice().load(std::memory_order_relaxed) >= slowest;
}

/// The first LF, CR or end-of-text mark from `from` on, or `end`: where a line of text ends
/// or is cut. Sixteen bytes at a time where the processor allows.
inline const char* findLineBreak(const char* from, const char* end) {
    const char* p = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i eot = _mm_set1_epi8(kEndOfText);
    const bool wide = !lineScanForced(LineScan::Plain);
    for (; wide && end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)),
                                          _mm_cmpeq_epi8(bytes, eot));
        if (const int mask = _mm_movemask_epi8(hits)) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < end && !isLineBreakByte(*p))
        ++p;
    return p;
}

/// Where the line ends lie in 64 bytes: bit i of `lf` and `cr` is set when byte i is LF or
/// CR; `endMark` says whether any byte is the end-of-text mark.
struct LineEndMasks {
    uint64_t lf = 0;
    uint64_t cr = 0;
    bool endMark = false;
    /// A CR not followed by LF within the 64 bytes (a CR in the last byte counts).
    bool hasLoneCr() const { return (cr & ~(lf >> 1)) != 0; }
};

/// lineEndMasks() a byte at a time: what processors without SSE2 run, and what the
/// faster versions are held against.
inline LineEndMasks lineEndMasksPlain(const char* p) {
    LineEndMasks m;
    for (int i = 0; i < 64; ++i) {
        m.lf |= static_cast<uint64_t>(p[i] == '\n') << i;
        m.cr |= static_cast<uint64_t>(p[i] == '\r') << i;
        m.endMark = m.endMark || p[i] == kEndOfText;
    }
    return m;
}

inline uint64_t byteMaskPlain(const char* p, char c) {
    uint64_t m = 0;
    for (int i = 0; i < 64; ++i)
        m |= static_cast<uint64_t>(p[i] == c) << i;
    return m;
}

inline LineEndMasks lineEndMasks(const char* p) {
#if defined(__SSE2__)
    LineEndMasks m;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i eot = _mm_set1_epi8(kEndOfText);
    __m128i anyEot = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        m.lf |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf))))
                << (16 * i);
        m.cr |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr))))
                << (16 * i);
        anyEot = _mm_or_si128(anyEot, _mm_cmpeq_epi8(bytes, eot));
    }
    m.endMark = _mm_movemask_epi8(anyEot) != 0;
    return m;
#else
    return lineEndMasksPlain(p);
#endif
}

/// Bit i set when byte i of the 64 from `p` is `c`.
inline uint64_t byteMask(const char* p, char c) {
#if defined(__SSE2__)
    uint64_t m = 0;
    const __m128i wanted = _mm_set1_epi8(c);
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        m |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted))))
             << (16 * i);
    }
    return m;
#else
    return byteMaskPlain(p, c);
#endif
}

#if QM_HAVE_AVX2_PATH
__attribute__((target("avx2"))) inline uint64_t byteMaskAvx2(const char* p, char c) {
    const __m256i wanted = _mm256_set1_epi8(c);
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted))) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted))))
               << 32;
}

/// lineEndMasks() thirty-two bytes at a time, for processors that have AVX2 (ask
/// hasAvx2() first); only code compiled for AVX2 itself can call it.
__attribute__((target("avx2"))) inline LineEndMasks lineEndMasksAvx2(const char* p) {
    LineEndMasks m;
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i eot = _mm256_set1_epi8(kEndOfText);
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    m.lf = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lf))) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lf))))
               << 32;
    m.cr = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, cr))) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, cr))))
               << 32;
    m.endMark =
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(low, eot), _mm256_cmpeq_epi8(high, eot))) != 0;
    return m;
}

inline bool hasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace qm
