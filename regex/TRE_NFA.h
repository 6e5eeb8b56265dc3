#pragma once
// Nondeterministic automaton built from a parse tree by the classic construction with empty
// transitions: every node is laid between two numbered states. State 0 is the initial state,
// state 1 the single accepting state. This is where "^" and "$" become anchors (transitions on
// the line-head / line-tail marker codes) or stay literal characters.

#include <cstdint>
#include <vector>

#include "regex/TREParser.h"

namespace zb {

inline constexpr RECharClass_t CONST_EMPTYCharClass{WCHAR_EMPTY, WCHAR_EMPTY};

struct RE_NFANode_t {
    RECharClass_t CharClass;
    int TransitTo = 0;
    int Next = -1;       // next transition of the same state (index into the pool), -1 for none
    bool Empty = false;  // an empty transition (labelled CONST_EMPTYCharClass)
};

class TRE_NFA {
public:
    TRE_NFA(TREParser* Parser, WChar_t LineHeadWChar, WChar_t LineTailWChar)
        : Parser(Parser), LineHeadWChar(LineHeadWChar), LineTailWChar(LineTailWChar) {}

    void Run();
    int NumberNode();
    void AddTransition(int From, int To, RECharClass_t CharClass, bool Empty = false);
    void GenerateStateList(RENode_t* Node, int From, int To);

    // Automata larger than BaseStates (BaseTransitions) plus StatesPerByte (TransitionsPerByte)
    // for each byte of the expression are refused as too complex to compile. The classic
    // construction makes a few states and transitions per byte; only "+", which lays its
    // operand out twice, and classes split by many overlapping leaves grow faster.
    static constexpr std::size_t BaseStates = 50'000;
    static constexpr std::size_t StatesPerByte = 8;
    static constexpr std::size_t BaseTransitions = 150'000;
    static constexpr std::size_t TransitionsPerByte = 24;

    int StateCount() const { return static_cast<int>(StateList.size()); }
    // The transitions of a state, newest first (the order of its chain).
    const RE_NFANode_t* First(int state) const { return at(StateList[static_cast<size_t>(state)]); }
    const RE_NFANode_t* Next(const RE_NFANode_t* t) const { return at(t->Next); }

    std::vector<int> StateList;  // first transition of each state (pool index), -1 for none
    std::vector<RE_NFANode_t> Transitions;  // the pool of all transitions
    int EntryState = 0;
    int ExitState = 1;
    TREParser* Parser;
    bool HasLHead = false;
    bool HasLTail = false;
    WChar_t LineHeadWChar;
    WChar_t LineTailWChar;

private:
    // A pending step of GenerateStateList: lay node out between states from and to. A frame
    // without a node finishes a Closure whose child lies between from (S1) and to (S2), adding
    // S2 -> S1 and then S1 -> closureExit, both empty.
    struct TLayoutFrame {
        RENode_t* node;
        int from;
        int to;
        int closureExit;
    };
    void LayOutNode(const TLayoutFrame& f, std::vector<TLayoutFrame>& stack);
    void CloseClosure(const TLayoutFrame& f);
    void AddLineHead(const RENode_t& n, int from, int to);
    void AddLineTail(const RENode_t& n, int from, int to);
    void tooComplex() const;

    std::size_t maxStates_ = 0;
    std::size_t maxTransitions_ = 0;

    const RE_NFANode_t* at(int index) const {
        return index < 0 ? nullptr : &Transitions[static_cast<size_t>(index)];
    }
};

// A set of NFA state numbers: state n is bit n mod 8 of byte n div 8.
class TRE_NFAStateSet {
public:
    explicit TRE_NFAStateSet(int StateCount)
        : Bits(static_cast<size_t>(StateCount / 8 + 1), 0), ByteCount(StateCount / 8 + 1) {}

    bool Has(int n) const { return (Bits[static_cast<size_t>(n / 8)] >> (n % 8)) & 1; }
    void Include(int n) { Bits[static_cast<size_t>(n / 8)] |= static_cast<uint8_t>(1 << (n % 8)); }
    bool Equals(const TRE_NFAStateSet& Other) const { return Bits == Other.Bits; }
    void IncludeAll(const TRE_NFAStateSet& Other);
    std::size_t Hash() const;

    std::vector<std::uint8_t> Bits;
    int ByteCount;
};

}  // namespace zb
