#pragma once
// Leftmost-longest matching of the current compiled expression in a NUL-terminated byte string.
// Two entry points: MatchStd for expressions without line anchors, MatchEX for expressions that
// begin with "^" or end with "$". A line head is the start of the text (for MatchEX) and every
// position after an LF; a line end for "$" is the character LineSeparator names, and the end of
// the text.

#include <cstdint>

#include "regex/TRegularExpression.h"

namespace zb {

enum TMatchCORE_LineSeparator : std::uint8_t { mcls_CRLF, mcls_LF };

class TMatchCORE : public TRegularExpression {
public:
    TMatchCORE() = default;

    // Each sets pStart/pEnd to the match (first byte, first byte after it), or both to nullptr.
    void MatchStd(const char* pText, const char*& pStart, const char*& pEnd) const;
    void MatchEX(const char* pText, const char*& pStart, const char*& pEnd) const;
    void MatchEX_Inside(const char* pText, const char*& pStart, const char*& pEnd) const;

    // End of the longest match starting at p (at a line head for MatchHead), or nullptr.
    const char* MatchHead(const char* p, const RE_DFAState_t* s) const;
    const char* MatchInside(const char* p, const RE_DFAState_t* s) const;

    bool IsLineEnd(WChar_t ch) const { return ch == (LineSeparator == mcls_CRLF ? 13 : 10); }

    TMatchCORE_LineSeparator LineSeparator = mcls_CRLF;

private:
    bool hasTailTransition(const RE_DFAState_t* s) const {
        return NextDFAState(s, GetLineTailWChar()) != nullptr;
    }
};

// Steps p over one character and returns its code; 0 at the NUL, where p stays.
inline WChar_t ReadTextWChar(const char*& p) {
    return PCharGetWChar(p);
}

}  // namespace zb
