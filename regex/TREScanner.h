#pragma once
// The tokenizer that the preprocessor and the parser read expressions through. It has two
// modes: standard, and inside a bracket class (from "[" or "[^" up to the closing "]").

#include <cstdint>
#include <string>

#include "regex/WChar.h"

namespace zb {

enum REToken_t : std::uint8_t {
    retk_Char,
    retk_CharClass,
    retk_Union,
    retk_LPar,
    retk_RPar,
    retk_Star,
    retk_Plus,
    retk_QMark,
    retk_LBra,
    retk_LBraNeg,
    retk_RBra,
    retk_Dot,
    retk_LHead,
    retk_LTail,
    retk_End,
};

// A token's value: one code, or the range StartChar..EndChar (StartChar is WChar).
struct RESymbol_t {
    union {
        WChar_t WChar;
        WChar_t StartChar;
    };
    WChar_t EndChar;

    RESymbol_t() : WChar(0), EndChar(0) {}
};

class TREScanner {
public:
    explicit TREScanner(const std::string& regExpStr) { SetRegExpStr(regExpStr); }
    virtual ~TREScanner() = default;

    void SetRegExpStr(const std::string& regExpStr);
    REToken_t GetToken();

    virtual REToken_t GetTokenStd();
    virtual REToken_t GetTokenCC();

    std::string RegExpStr;
    int Index = 1;
    REToken_t Token = retk_End;
    RESymbol_t Symbol;
    bool InCharClass = false;
};

}  // namespace zb
