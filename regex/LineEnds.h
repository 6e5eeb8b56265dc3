#pragma once
// Bulk scanning of raw text for line ends: an LF, or a CR that no LF follows (a CR LF pair is one
// line end, counted at its LF).

#include <cstddef>

namespace zb {

// The byte at `to` must be readable: a CR at to - 1 is lone when that byte is not LF.
std::size_t CountLineEnds(const char* from, const char* to);

// Position just after the last line end in [from, to), or nullptr when there is none.
const char* AfterLastLineEnd(const char* from, const char* to);

}  // namespace zb
