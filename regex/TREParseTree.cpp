#include "regex/TREParseTree.h"

#include <algorithm>
#include <utility>

#include "common/Exception.h"
#include "regex/ERegExpParser.h"

namespace zb {

RENode_t* TREParseTree::MakeInternalNode(REOperation_t Op, RENode_t* Left, RENode_t* Right) {
    auto node = std::make_unique<RENode_t>();
    node->Op = Op;
    node->pLeft = Left;
    node->pRight = Right;
    NodeList.push_back(std::move(node));
    return NodeList.back().get();
}

RENode_t* TREParseTree::MakeLeaf(WChar_t StartChar, WChar_t EndChar) {
    const RECharClass_t cc{StartChar, EndChar};
    auto found = leafIndex_.find(cc.Packed());
    if (found != leafIndex_.end()) return found->second;
    auto leaf = std::make_unique<RENode_t>();
    leaf->Op = reop_Char;
    leaf->CharClass = cc;
    RENode_t* raw = leaf.get();
    LeafList.push_back(std::move(leaf));
    leafIndex_.emplace(cc.Packed(), raw);
    return raw;
}

RENode_t* TREParseTree::Check_and_MakeLeaf(int StartChar, int EndChar) {
    if (EndChar < StartChar || StartChar < 0 || EndChar > 0xFFFF) return nullptr;
    return MakeLeaf(static_cast<WChar_t>(StartChar), static_cast<WChar_t>(EndChar));
}

RENode_t* TREParseTree::MakeLHeadNode(WChar_t Code) {
    RENode_t* node = MakeInternalNode(reop_LHead, nullptr, nullptr);
    node->CharClass = {Code, Code};
    return node;
}

RENode_t* TREParseTree::MakeLTailNode(WChar_t Code) {
    RENode_t* node = MakeInternalNode(reop_LTail, nullptr, nullptr);
    node->CharClass = {Code, Code};
    return node;
}

RENode_t* TREParseTree::MakeAnyCharsNode() {
    RENode_t* crlf = MakeLeaf(11, 12);
    RENode_t* low = MakeLeaf(1, 9);
    RENode_t* rest = MakeLeaf(14, WCHAR_ANY_MAX);
    return MakeInternalNode(reop_Union, MakeInternalNode(reop_Union, low, crlf), rest);
}

std::unique_ptr<RENode_t> TREParseTree::takeLeaf(RENode_t* leaf) {
    auto it = std::find_if(LeafList.begin(), LeafList.end(),
                           [leaf](const auto& p) { return p.get() == leaf; });
    if (it == LeafList.end()) return nullptr;
    std::unique_ptr<RENode_t> owned = std::move(*it);
    LeafList.erase(it);
    leafIndex_.erase(owned->CharClass.Packed());
    return owned;
}

void TREParseTree::ChangeLeaftoNode(RENode_t* Node, RENode_t* Left, RENode_t* Right) {
    if (Left == nullptr || Right == nullptr) throw Exception(remsg::ParseTreeFatal);
    std::unique_ptr<RENode_t> owned = takeLeaf(Node);
    if (!owned) throw Exception(remsg::ParseTreeFatal);
    owned->Op = reop_Union;
    owned->pLeft = Left;
    owned->pRight = Right;
    NodeList.push_back(std::move(owned));
}

void TREParseTree::RemoveLeaf(std::size_t index) {
    std::unique_ptr<RENode_t> owned = std::move(LeafList[index]);
    LeafList.erase(LeafList.begin() + static_cast<std::ptrdiff_t>(index));
    leafIndex_.erase(owned->CharClass.Packed());
    removed_.push_back(std::move(owned));
}

bool TREParseTree::Split(RENode_t* first, RENode_t* second) {
    RENode_t* P = first;
    RENode_t* Q = second;
    if (P->CharClass.StartChar > Q->CharClass.StartChar) std::swap(P, Q);
    const RECharClass_t p = P->CharClass;
    const RECharClass_t q = Q->CharClass;
    if (p.EndChar < q.StartChar || p == q) return false;

    const int loEnd = std::min(p.EndChar, q.EndChar);
    const int hiEnd = std::max(p.EndChar, q.EndChar);
    RENode_t* L1 =
        p.StartChar == q.StartChar ? nullptr : Check_and_MakeLeaf(p.StartChar, q.StartChar - 1);
    RENode_t* L2 = Check_and_MakeLeaf(q.StartChar, loEnd);
    RENode_t* L3 = loEnd == hiEnd ? nullptr : Check_and_MakeLeaf(loEnd + 1, hiEnd);

    if (p.StartChar == q.StartChar) {
        if (p.EndChar > q.EndChar) {
            ChangeLeaftoNode(P, L2, L3);
        } else {
            ChangeLeaftoNode(Q, L2, L3);
        }
    } else if (p.EndChar == q.EndChar) {
        ChangeLeaftoNode(P, L1, L2);
    } else if (q.EndChar < p.EndChar) {
        ChangeLeaftoNode(P, MakeInternalNode(reop_Union, L1, L2), L3);
    } else {
        ChangeLeaftoNode(P, L1, L2);
        ChangeLeaftoNode(Q, L2, L3);
    }
    return true;
}

void TREParseTree::ForceCharClassUnique() {
    // Each leaf i is split against the first later leaf it overlaps, until it overlaps none.
    // When a split leaves leaf i in place, the leaves between i and j are untouched and known
    // not to overlap it, so the scan resumes at j instead of at i + 1; the outcome is the same.
    std::size_t i = 0;
    std::size_t j = 1;
    while (i < LeafList.size()) {
        bool changed = false;
        for (; j < LeafList.size(); ++j) {
            RENode_t* leaf = LeafList[i].get();
            if (Split(LeafList[j].get(), leaf)) {
                changed = true;
                if (LeafList[i].get() != leaf) j = i + 1;
                break;
            }
        }
        if (!changed) {
            ++i;
            j = i + 1;
        }
    }
}

void TREParseTree::DisposeTree() {
    NodeList.clear();
    LeafList.clear();
    leafIndex_.clear();
    removed_.clear();
    Root = nullptr;
}

}  // namespace zb
