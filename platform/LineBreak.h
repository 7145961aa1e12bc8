#pragma once
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm {

/// The byte that marks the end of a text in the files the program reads.
inline constexpr char kEndOfText = 0x1A;

inline bool isLineBreakByte(char c) { return c == '\n' || c == '\r' || c == kEndOfText; }

/// The first LF, CR or end-of-text mark from `from` on, or `end`: where a line of text ends
/// or is cut. Sixteen bytes at a time where the processor allows.
inline const char* findLineBreak(const char* from, const char* end) {
    const char* p = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i eot = _mm_set1_epi8(kEndOfText);
    for (; end - p >= 16; p += 16) {
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

} // namespace qm
