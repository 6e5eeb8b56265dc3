#include "regex/LineEnds.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zb {

namespace {

void spaceNuls(char* from, char* to) {
    for (char* p = from;
         (p = static_cast<char*>(std::memchr(p, '\0', static_cast<std::size_t>(to - p))));)
        *p = ' ';
}

// Byte by byte, from p; the byte at `to` is read for a CR at to - 1.
std::size_t countTail(const char* p, const char* to) {
    std::size_t count = 0;
    for (; p < to; ++p) {
        if (*p == '\n' || (*p == '\r' && p[1] != '\n')) ++count;
    }
    return count;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZB_LINE_ENDS_AVX2 1
// The SSE2 count below, 32 bytes a step.
__attribute__((target("avx2"))) std::size_t countAvx2(const char* from, const char* to) {
    std::size_t count = 0;
    const char* p = from;
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i zero = _mm256_setzero_si256();
    while (to - p >= 32) {
        __m256i lanes = zero;
        for (int i = 0; i < 255 && to - p >= 32; ++i, p += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1));
            const __m256i isLF = _mm256_cmpeq_epi8(v, lf);
            const __m256i loneCR =
                _mm256_andnot_si256(_mm256_cmpeq_epi8(next, lf), _mm256_cmpeq_epi8(v, cr));
            lanes = _mm256_sub_epi8(lanes, _mm256_or_si256(isLF, loneCR));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        count += static_cast<std::size_t>(_mm256_extract_epi64(sums, 0)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 1)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 2)) +
                 static_cast<std::size_t>(_mm256_extract_epi64(sums, 3));
    }
    return count + countTail(p, to);
}
#endif

std::size_t countSse2(const char* from, const char* to) {
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
    return count + countTail(p, to);
}

void markBlock(std::uint64_t* marks, std::size_t block) {
    marks[block / 64] |= std::uint64_t{1} << (block % 64);
}

#if defined(ZB_LINE_ENDS_AVX2)
// ScanFill 32 bytes a step: the line ends as in countAvx2, and whether the block holds a NUL or
// the marked byte.
__attribute__((target("avx2"))) std::size_t scanAvx2(char* from, char* to, std::uint32_t* counts,
                                                     int mark, std::uint64_t* marks) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i zero = _mm256_setzero_si256();
    const __m256i marked = _mm256_set1_epi8(static_cast<char>(mark));
    std::uint32_t total = 0;
    std::size_t blocks = 0;
    counts[0] = 0;
    for (char* p = from; to - p >= static_cast<std::ptrdiff_t>(kLineEndBlock); p += kLineEndBlock) {
        __m256i lanes = zero;
        __m256i nuls = zero;
        __m256i hits = zero;
        for (std::size_t i = 0; i < kLineEndBlock; i += 32) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
            const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 1));
            nuls = _mm256_or_si256(nuls, _mm256_cmpeq_epi8(v, zero));
            hits = _mm256_or_si256(hits, _mm256_cmpeq_epi8(v, marked));
            const __m256i loneCR =
                _mm256_andnot_si256(_mm256_cmpeq_epi8(next, lf), _mm256_cmpeq_epi8(v, cr));
            lanes = _mm256_sub_epi8(lanes, _mm256_or_si256(_mm256_cmpeq_epi8(v, lf), loneCR));
        }
        if (!_mm256_testz_si256(nuls, nuls)) spaceNuls(p, p + kLineEndBlock);
        if (!_mm256_testz_si256(hits, hits)) markBlock(marks, blocks);
        const __m256i sums = _mm256_sad_epu8(lanes, zero);
        total += static_cast<std::uint32_t>(
            _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) +
            _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3));
        counts[++blocks] = total;
    }
    spaceNuls(from + blocks * kLineEndBlock, to);
    markBlock(marks, blocks);
    return blocks + 1;
}
#endif

std::size_t scanPlain(char* from, char* to, std::uint32_t* counts, int mark, std::uint64_t* marks) {
    spaceNuls(from, to);
    std::uint32_t total = 0;
    std::size_t blocks = 0;
    counts[0] = 0;
    for (char* p = from; to - p >= static_cast<std::ptrdiff_t>(kLineEndBlock); p += kLineEndBlock) {
        total += static_cast<std::uint32_t>(countSse2(p, p + kLineEndBlock));
        if (std::memchr(p, mark, kLineEndBlock) != nullptr) markBlock(marks, blocks);
        counts[++blocks] = total;
    }
    markBlock(marks, blocks);
    return blocks + 1;
}

}  // namespace

std::size_t CountLineEnds(const char* from, const char* to) {
#if defined(ZB_LINE_ENDS_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return countAvx2(from, to);
#endif
    return countSse2(from, to);
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

const char* FindLineEndOrNul(const char* from, const char* to) {
    const char* p = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    for (; to - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)),
                                         _mm_cmpeq_epi8(v, zero));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < to; ++p) {
        if (*p == '\n' || *p == '\r' || *p == '\0') return p;
    }
    return to;
}

std::size_t ScanFill(char* from, char* to, std::uint32_t* counts, int mark, std::uint64_t* marks) {
    const std::size_t words = (static_cast<std::size_t>(to - from) / kLineEndBlock + 1 + 63) / 64;
    std::fill(marks, marks + words, std::uint64_t{0});
#if defined(ZB_LINE_ENDS_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return scanAvx2(from, to, counts, mark, marks);
#endif
    return scanPlain(from, to, counts, mark, marks);
}

}  // namespace zb
