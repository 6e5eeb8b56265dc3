#pragma once
// Bulk scanning of raw text for line ends: an LF, or a CR that no LF follows (a CR LF pair is one
// line end, counted at its LF).

#include <cstddef>
#include <cstdint>

namespace zb {

// The byte at `to` must be readable: a CR at to - 1 is lone when that byte is not LF.
std::size_t CountLineEnds(const char* from, const char* to);

// Position just after the last line end in [from, to), or nullptr when there is none.
const char* AfterLastLineEnd(const char* from, const char* to);

// The first byte in [from, to) that is an LF, a CR or a NUL; `to` when there is none.
const char* FindLineEndOrNul(const char* from, const char* to);

// The block size of the counts ScanFill keeps.
inline constexpr std::size_t kLineEndBlock = 256;

// One pass over a fill: makes every NUL in [from, to) a space and writes, for every whole block
// of kLineEndBlock bytes from `from`, counts[k] = CountLineEnds(from, from + k * kLineEndBlock),
// starting with counts[0] = 0; sets bit k of `marks` (bit k % 64 of marks[k / 64]) for every
// block k that holds the byte `mark`, and for the part block at the end. Returns the number of
// counts written; counts must have room for (to - from) / kLineEndBlock + 1, marks for as many
// bits. The byte at `to` must be readable.
std::size_t ScanFill(char* from, char* to, std::uint32_t* counts, int mark, std::uint64_t* marks);

}  // namespace zb
