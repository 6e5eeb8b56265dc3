#include "regex/TREParser.h"

#include "regex/ERegExpParser.h"

namespace zb {

void TREParser::Run() {
    ParseTree.DisposeTree();
    depth_ = 0;
    Scanner.GetToken();
    ParseTree.Root = Regexp();
    if (Scanner.Token != retk_End) {
        throw ERegExpParser(remsg::ExtraCharacters, Scanner.Index);
    }
    ParseTree.ForceCharClassUnique();
}

RENode_t* TREParser::Regexp() {
    RENode_t* result = term();
    while (Scanner.Token == retk_Union) {
        Scanner.GetToken();
        result = ParseTree.MakeInternalNode(reop_Union, result, term());
    }
    return result;
}

RENode_t* TREParser::term() {
    auto ends = [this] {
        const REToken_t t = Scanner.Token;
        return t == retk_Union || t == retk_RPar || t == retk_End;
    };
    if (ends()) return ParseTree.MakeInternalNode(reop_Empty, nullptr, nullptr);
    RENode_t* result = factor();
    while (!ends())
        result = ParseTree.MakeInternalNode(reop_Concat, result, factor());
    return result;
}

RENode_t* TREParser::factor() {
    RENode_t* p = primary();
    switch (Scanner.Token) {
        case retk_Star:
            Scanner.GetToken();
            return ParseTree.MakeInternalNode(reop_Closure, p, nullptr);
        case retk_Plus:
            Scanner.GetToken();
            return ParseTree.MakeInternalNode(reop_Concat, p,
                                              ParseTree.MakeInternalNode(reop_Closure, p, nullptr));
        case retk_QMark:
            Scanner.GetToken();
            return ParseTree.MakeInternalNode(
                reop_Union, p, ParseTree.MakeInternalNode(reop_Empty, nullptr, nullptr));
        default:
            return p;
    }
}

RENode_t* TREParser::primary() {
    RENode_t* result = nullptr;
    switch (Scanner.Token) {
        case retk_Char:
            result = ParseTree.MakeLeaf(Scanner.Symbol.WChar, Scanner.Symbol.WChar);
            break;
        case retk_LPar:
            if (++depth_ > MaxNesting) throw ERegExpParser(remsg::NestingTooDeep, Scanner.Index);
            Scanner.GetToken();
            result = Regexp();
            if (Scanner.Token != retk_RPar) {
                throw ERegExpParser(remsg::RightParenNeeded, Scanner.Index);
            }
            --depth_;
            break;
        case retk_LBra:
            result = CharacterClass(ParseTree);
            break;
        case retk_LBraNeg:
            result = NegativeCharacterClass();
            break;
        case retk_Dot:
            result = ParseTree.MakeAnyCharsNode();
            break;
        case retk_LHead:
            result = ParseTree.MakeLHeadNode(Scanner.Symbol.WChar);
            break;
        case retk_LTail:
            result = ParseTree.MakeLTailNode(Scanner.Symbol.WChar);
            break;
        default:
            throw ERegExpParser(remsg::CharOrLeftParenNeeded, Scanner.Index);
    }
    Scanner.GetToken();
    return result;
}

RENode_t* TREParser::memberLeaf(TREParseTree& Tree) {
    if (Scanner.Token == retk_CharClass) {
        return Tree.MakeLeaf(Scanner.Symbol.StartChar, Scanner.Symbol.EndChar);
    }
    return Tree.MakeLeaf(Scanner.Symbol.WChar, Scanner.Symbol.WChar);
}

RENode_t* TREParser::CharacterClass(TREParseTree& Tree) {
    if (Scanner.GetToken() == retk_RBra) {
        throw ERegExpParser(remsg::InvalidCharClass, Scanner.Index);
    }
    RENode_t* result = memberLeaf(Tree);
    while (Scanner.GetToken() != retk_RBra) {
        result = Tree.MakeInternalNode(reop_Union, result, memberLeaf(Tree));
    }
    return result;
}

RENode_t* TREParser::NegativeCharacterClass() {
    TREParseTree members;
    TREParseTree pieces;
    members.Root = CharacterClass(members);
    members.ForceCharClassUnique();
    pieces.MakeAnyCharsNode();

    // Subtract every member range from the pieces of ".". Pieces cut off a piece join the end of
    // the list and are checked against the same member later in the walk.
    for (const auto& member : members.LeafList) {
        const RECharClass_t m = member->CharClass;
        std::size_t k = 0;
        while (k < pieces.LeafList.size()) {
            const RECharClass_t p = pieces.LeafList[k]->CharClass;
            if (p.EndChar < m.StartChar || m.EndChar < p.StartChar) {
                ++k;
                continue;
            }
            pieces.Check_and_MakeLeaf(p.StartChar, m.StartChar - 1);
            pieces.Check_and_MakeLeaf(m.EndChar + 1, p.EndChar);
            pieces.RemoveLeaf(k);
        }
    }
    if (pieces.LeafList.empty()) {
        // Nothing is left of the class; there is no node for the empty set.
        throw ERegExpParser(remsg::InvalidCharClass, Scanner.Index);
    }
    RENode_t* result = nullptr;
    for (const auto& piece : pieces.LeafList) {
        RENode_t* leaf = ParseTree.MakeLeaf(piece->CharClass.StartChar, piece->CharClass.EndChar);
        result = result ? ParseTree.MakeInternalNode(reop_Union, result, leaf) : leaf;
    }
    return result;
}

}  // namespace zb
