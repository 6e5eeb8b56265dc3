#pragma once
// Recursive-descent parser from an (already preprocessed) expression to a TREParseTree.

#include <string>

#include "regex/TREParseTree.h"
#include "regex/TREScanner.h"

namespace zb {

class TREParser {
public:
    explicit TREParser(const std::string& regExpStr) : Scanner(regExpStr) {}

    // Parses the whole expression; raises ERegExpParser on a syntax error.
    void Run();

    // Parenthesised groups may nest this deep; deeper nesting is a syntax error.
    static constexpr int MaxNesting = 1000;

    TREParseTree ParseTree;
    TREScanner Scanner;

private:
    RENode_t* Regexp();
    RENode_t* term();
    RENode_t* factor();
    RENode_t* primary();
    RENode_t* CharacterClass(TREParseTree& Tree);
    RENode_t* NegativeCharacterClass();
    RENode_t* memberLeaf(TREParseTree& Tree);

    int depth_ = 0;
};

}  // namespace zb
