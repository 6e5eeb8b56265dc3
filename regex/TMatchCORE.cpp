#include "regex/TMatchCORE.h"

namespace zb {

namespace {

// One step of a run. The end of the text (code 0) is never consumed, even by an expression that
// names code 0 itself, so every run stops there.
const RE_DFAState_t* step(const RE_DFAState_t* s, WChar_t ch) {
    return ch == 0 ? nullptr : TRegularExpression::NextDFAState(s, ch);
}

}  // namespace

const char* TMatchCORE::MatchInside(const char* p, const RE_DFAState_t* s) const {
    if (s == nullptr) return nullptr;
    const char* candidate = nullptr;
    const RE_DFAState_t* last = nullptr;
    const char* at = p;  // where the character that stopped the run begins
    WChar_t ch = 0;
    while (s != nullptr) {
        if (s->Accepted) candidate = p;
        at = p;
        ch = ReadTextWChar(p);
        last = s;
        s = step(s, ch);
    }
    // "$" before a line end or the end of the text: the line end is not part of the match.
    if ((ch == 0 || IsLineEnd(ch)) && hasTailTransition(last)) return at;
    return candidate;
}

const char* TMatchCORE::MatchHead(const char* p, const RE_DFAState_t* s) const {
    if (!GetHasLHead()) return MatchInside(p, s);
    const char* e1 = MatchInside(p, NextDFAState(s, GetLineHeadWChar()));
    if (e1 == nullptr) return nullptr;
    const char* e2 = MatchInside(p, s);
    return (e2 != nullptr && e2 > e1) ? e2 : e1;
}

void TMatchCORE::MatchStd(const char* pText, const char*& pStart, const char*& pEnd) const {
    pStart = pEnd = nullptr;
    const RE_DFAState_t* initial = GetpInitialDFAState();
    if (*pText == '\0') {
        if (initial->Accepted) pStart = pEnd = pText;
        return;
    }
    for (const char* p = pText; *p != '\0';) {
        const RE_DFAState_t* s = initial;
        const char* q = p;
        while (s != nullptr) {
            if (s->Accepted) {
                pStart = p;
                pEnd = q;
            }
            s = step(s, ReadTextWChar(q));
        }
        if (pStart != nullptr) return;
        ReadTextWChar(p);
    }
}

void TMatchCORE::MatchEX(const char* pText, const char*& pStart, const char*& pEnd) const {
    pStart = pText;
    pEnd = MatchHead(pText, GetpInitialDFAState());
    if (pEnd == nullptr) MatchEX_Inside(pText, pStart, pEnd);
}

void TMatchCORE::MatchEX_Inside(const char* pText, const char*& pStart, const char*& pEnd) const {
    pStart = pEnd = nullptr;
    const RE_DFAState_t* initial = GetpInitialDFAState();
    const char* p = pText;
    while (*p != '\0') {
        if (const char* e = MatchInside(p, initial)) {
            pStart = p;
            pEnd = e;
            return;
        }
        if (*p == '\n' && GetHasLHead()) {
            if (const char* e = MatchHead(p + 1, initial)) {
                pStart = p + 1;
                pEnd = e;
                return;
            }
        }
        ReadTextWChar(p);
    }
    // At the end of the text: an empty match of "$", or, in an empty text that no start was
    // tried in, of an expression that accepts the empty string without a line head ("^a|b*").
    if ((GetHasLTail() && hasTailTransition(initial)) || (p == pText && initial->Accepted)) {
        pStart = pEnd = p;
    }
}

}  // namespace zb
