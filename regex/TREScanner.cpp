#include "regex/TREScanner.h"

#include "regex/ERegExpParser.h"

namespace zb {

void TREScanner::SetRegExpStr(const std::string& regExpStr) {
    RegExpStr = regExpStr;
    Index = 1;
    InCharClass = false;
}

REToken_t TREScanner::GetToken() {
    if (InCharClass) {
        Token = GetTokenCC();
        if (Token == retk_RBra) InCharClass = false;
    } else {
        Token = GetTokenStd();
        if (Token == retk_LBra || Token == retk_LBraNeg) InCharClass = true;
    }
    return Token;
}

REToken_t TREScanner::GetTokenStd() {
    Symbol.EndChar = 0;
    Symbol.WChar = GetWChar(RegExpStr, Index);
    switch (Symbol.WChar) {
        case 0:
            return retk_End;
        case '$':
            return retk_LTail;
        case '(':
            return retk_LPar;
        case ')':
            return retk_RPar;
        case '*':
            return retk_Star;
        case '+':
            return retk_Plus;
        case '?':
            return retk_QMark;
        case '.':
            return retk_Dot;
        case '|':
            return retk_Union;
        case ']':
            return retk_RBra;
        case '^':
            return retk_LHead;
        case '\\':
            Symbol.WChar = GetQuotedWChar(RegExpStr, Index);
            return retk_Char;
        case '[': {
            const WChar_t next = GetWChar(RegExpStr, Index);
            if (next == 0) throw ERegExpParser(remsg::RightBracketNeeded, Index);
            if (next == '^') return retk_LBraNeg;
            UnGetWChar(RegExpStr, Index);
            return retk_LBra;
        }
        default:
            return retk_Char;
    }
}

REToken_t TREScanner::GetTokenCC() {
    Symbol.EndChar = 0;
    WChar_t ch1 = GetWChar(RegExpStr, Index);
    Symbol.WChar = ch1;
    if (ch1 == 0) throw ERegExpParser(remsg::RightBracketNeeded, Index);
    if (ch1 == ']') return retk_RBra;
    if (ch1 == '\\') ch1 = GetQuotedWChar(RegExpStr, Index);

    const WChar_t ch2 = GetWChar(RegExpStr, Index);
    if (ch2 == 0) throw ERegExpParser(remsg::RightBracketNeeded, Index);
    if (ch2 != '-') {
        UnGetWChar(RegExpStr, Index);
        Symbol.WChar = ch1;
        return retk_Char;
    }
    WChar_t ch3 = GetWChar(RegExpStr, Index);
    if (ch3 == 0) throw ERegExpParser(remsg::RightBracketNeeded, Index);
    if (ch3 == ']') {
        UnGetWChar(RegExpStr, Index);  // the "]"
        UnGetWChar(RegExpStr, Index);  // the "-"
        Symbol.WChar = ch1;
        return retk_Char;
    }
    if (ch3 == '\\') ch3 = GetQuotedWChar(RegExpStr, Index);
    if (ch3 < ch1) throw ERegExpParser(remsg::InvalidRange, Index);
    Symbol.StartChar = ch1;
    Symbol.EndChar = ch3;
    return retk_CharClass;
}

}  // namespace zb
