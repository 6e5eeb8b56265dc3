#pragma once
// The parse tree of one expression. Leaves are character ranges shared by every place that uses
// the same range; after parsing, leaves are split until they are pairwise disjoint. The tree is
// a DAG: nodes are owned by the two lists, never by their parents.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "regex/WChar.h"

namespace zb {

enum REOperation_t : std::uint8_t {
    reop_Char,
    reop_LHead,
    reop_LTail,
    reop_Concat,
    reop_Union,
    reop_Closure,
    reop_Empty,
};

struct RECharClass_t {
    WChar_t StartChar = 0;
    WChar_t EndChar = 0;

    std::uint32_t Packed() const { return static_cast<std::uint32_t>(StartChar) << 16 | EndChar; }
    bool Contains(WChar_t ch) const { return ch >= StartChar && ch <= EndChar; }
    friend bool operator==(const RECharClass_t&, const RECharClass_t&) = default;
};

struct RENode_t {
    REOperation_t Op = reop_Empty;
    RECharClass_t CharClass;  // reop_Char, reop_LHead, reop_LTail
    RENode_t* pLeft = nullptr;
    RENode_t* pRight = nullptr;
};
using REpNode_t = RENode_t*;

class TREParseTree {
public:
    TREParseTree() = default;
    virtual ~TREParseTree() = default;
    TREParseTree(const TREParseTree&) = delete;
    TREParseTree& operator=(const TREParseTree&) = delete;

    RENode_t* MakeInternalNode(REOperation_t Op, RENode_t* Left, RENode_t* Right);
    RENode_t* MakeLeaf(WChar_t StartChar, WChar_t EndChar);
    RENode_t* Check_and_MakeLeaf(int StartChar, int EndChar);
    RENode_t* MakeLHeadNode(WChar_t Code);
    RENode_t* MakeLTailNode(WChar_t Code);
    virtual RENode_t* MakeAnyCharsNode();
    void ChangeLeaftoNode(RENode_t* Node, RENode_t* Left, RENode_t* Right);
    void ForceCharClassUnique();
    void DisposeTree();

    // Drops a leaf from the leaf list without turning it into a node (negated classes remove
    // pieces of "." this way); the node itself lives until the tree is disposed.
    void RemoveLeaf(std::size_t index);

    RENode_t* Root = nullptr;
    std::vector<std::unique_ptr<RENode_t>> NodeList;
    std::vector<std::unique_ptr<RENode_t>> LeafList;

private:
    bool Split(RENode_t* first, RENode_t* second);
    std::unique_ptr<RENode_t> takeLeaf(RENode_t* leaf);

    std::unordered_map<std::uint32_t, RENode_t*> leafIndex_;  // range -> leaf of LeafList
    std::vector<std::unique_ptr<RENode_t>> removed_;          // leaves dropped by RemoveLeaf
};

}  // namespace zb
