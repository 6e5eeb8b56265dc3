#pragma once
// AWK-style string functions over the current expression: Match, Sub, GSub and Split, with
// replacement texts that understand backslash escapes and "&" for the matched text.

#include <string>
#include <vector>

#include "regex/TMatchCORE.h"

namespace zb {

using TAWKStrMatchProc = void (TMatchCORE::*)(const char* pText, const char*& pStart,
                                              const char*& pEnd) const;

class TAWKStr : public TMatchCORE {
public:
    // Attaches the engine's fuzzy-character dictionary (used when UseFuzzyCharDic is set).
    TAWKStr();

    // Compiles, then picks MatchEX for expressions with a line anchor, else MatchStd.
    void SetRegExp(const std::string& Str) override;

    // 1-based start of the leftmost-longest match and its length; 0, 0 and 0 without a match.
    int Match(const std::string& text, int& start, int& length) const;
    // Replaces the first match; false (text unchanged) without one.
    bool Sub(const std::string& replacement, std::string& text) const;
    // Replaces every match from left to right; returns how many.
    int GSub(const std::string& replacement, std::string& text) const;
    // Fills list with the pieces between matches; returns how many.
    int Split(const std::string& text, std::vector<std::string>& list) const;

    static std::string ProcessEscSeq(const std::string& text);
    static std::string Substitute_MatchStr_For_ANDChar(const std::string& replacement,
                                                       const std::string& matched);

    TAWKStrMatchProc MatchProc = &TMatchCORE::MatchStd;

private:
    void run(TAWKStrMatchProc proc, const char* text, const char*& start, const char*& end) const {
        (this->*proc)(text, start, end);
    }
};

}  // namespace zb
