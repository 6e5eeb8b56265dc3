#include "regex/LineEnds.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zb {

std::size_t CountLineEnds(const char* from, const char* to) {
    std::size_t count = 0;
    const char* p = from;
#if defined(__SSE2__)
    // Per byte lane, subtract the all-ones compare results: each lane counts up to 255 line
    // ends, then the lanes are summed.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    while (to - p >= 16) {
        __m128i lanes = zero;
        for (int i = 0; i < 255 && to - p >= 16; ++i, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            // The byte after each byte: a CR followed by LF is not a line end of its own.
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
            const __m128i isLF = _mm_cmpeq_epi8(v, lf);
            const __m128i loneCR =
                _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(v, cr));
            lanes = _mm_sub_epi8(lanes, _mm_or_si128(isLF, loneCR));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; p < to; ++p) {
        if (*p == '\n' || (*p == '\r' && p[1] != '\n')) ++count;
    }
    return count;
}

const char* AfterLastLineEnd(const char* from, const char* to) {
    if (to <= from) return nullptr;
    const char* lf =
        static_cast<const char*>(memrchr(from, '\n', static_cast<std::size_t>(to - from)));
    // A lone CR after the last LF ends a line too.
    const char* crFrom = lf ? lf + 1 : from;
    for (const char* scan = to; scan > crFrom;) {
        const char* cr = static_cast<const char*>(
            memrchr(crFrom, '\r', static_cast<std::size_t>(scan - crFrom)));
        if (cr == nullptr) break;
        if (cr[1] != '\n') return cr + 1;
        scan = cr;
    }
    return lf ? lf + 1 : nullptr;
}

}  // namespace zb
