#include "regex/TRE_NFA.h"

#include <string_view>

#include "common/Exception.h"
#include "regex/ERegExpParser.h"

namespace zb {

void TRE_NFA::Run() {
    const std::size_t bytes = Parser->Scanner.RegExpStr.size();
    maxStates_ = BaseStates + StatesPerByte * bytes;
    maxTransitions_ = BaseTransitions + TransitionsPerByte * bytes;
    EntryState = NumberNode();
    ExitState = NumberNode();
    GenerateStateList(Parser->ParseTree.Root, EntryState, ExitState);
}

void TRE_NFA::tooComplex() const {
    throw ERegExpParser(remsg::TooComplex, Parser ? Parser->Scanner.Index : 0);
}

int TRE_NFA::NumberNode() {
    // "+" lays its operand out twice, so nested repetitions grow the automaton exponentially.
    if (maxStates_ != 0 && StateList.size() >= maxStates_) tooComplex();
    StateList.push_back(-1);
    return static_cast<int>(StateList.size()) - 1;
}

void TRE_NFA::AddTransition(int From, int To, RECharClass_t CharClass, bool Empty) {
    if (maxTransitions_ != 0 && Transitions.size() >= maxTransitions_) tooComplex();
    int& first = StateList[static_cast<size_t>(From)];
    Transitions.push_back({CharClass, To, first, Empty});
    first = static_cast<int>(Transitions.size()) - 1;
}

void TRE_NFA::GenerateStateList(RENode_t* Node, int From, int To) {
    // Depth-first, left child before right, with an explicit stack so that deep trees (long
    // alternations, long concatenations, leaves split many times) cannot exhaust the call stack.
    if (Node == nullptr) throw Exception(remsg::NFACannotHappen);
    std::vector<TLayoutFrame> stack{{Node, From, To, 0}};
    while (!stack.empty()) {
        const TLayoutFrame f = stack.back();
        stack.pop_back();
        if (f.node == nullptr)
            CloseClosure(f);
        else
            LayOutNode(f, stack);
    }
}

void TRE_NFA::CloseClosure(const TLayoutFrame& f) {
    // The closure's child lies between S1 (f.from) and S2 (f.to): loop back, then leave.
    AddTransition(f.to, f.from, CONST_EMPTYCharClass, true);
    AddTransition(f.from, f.closureExit, CONST_EMPTYCharClass, true);
}

void TRE_NFA::LayOutNode(const TLayoutFrame& f, std::vector<TLayoutFrame>& stack) {
    // Leaves get their transitions now; inner nodes push their children, left on top.
    RENode_t* n = f.node;
    switch (n->Op) {
        case reop_Char:
            AddTransition(f.from, f.to, n->CharClass);
            break;
        case reop_LHead:
            AddLineHead(*n, f.from, f.to);
            break;
        case reop_LTail:
            AddLineTail(*n, f.from, f.to);
            break;
        case reop_Concat: {
            const int m = NumberNode();
            stack.push_back({n->pRight, m, f.to, 0});
            stack.push_back({n->pLeft, f.from, m, 0});
            break;
        }
        case reop_Union:
            stack.push_back({n->pRight, f.from, f.to, 0});
            stack.push_back({n->pLeft, f.from, f.to, 0});
            break;
        case reop_Closure: {
            const int s1 = NumberNode();
            const int s2 = NumberNode();
            AddTransition(f.from, s1, CONST_EMPTYCharClass, true);
            stack.push_back({nullptr, s1, s2, f.to});
            stack.push_back({n->pLeft, s1, s2, 0});
            break;
        }
        case reop_Empty:
            AddTransition(f.from, f.to, CONST_EMPTYCharClass, true);
            break;
        default:
            throw Exception(remsg::NFACannotHappen);
    }
}

void TRE_NFA::AddLineHead(const RENode_t& n, int from, int to) {
    // "^" leaving the entry state is an anchor; anywhere else it is a literal character.
    if (from == EntryState) {
        HasLHead = true;
        AddTransition(from, to, {LineHeadWChar, LineHeadWChar});
    } else {
        AddTransition(from, to, n.CharClass);
    }
}

void TRE_NFA::AddLineTail(const RENode_t& n, int from, int to) {
    // "$" reaching the exit state is an anchor; anywhere else it is a literal character.
    if (to == ExitState) {
        HasLTail = true;
        AddTransition(from, to, {LineTailWChar, LineTailWChar});
    } else {
        AddTransition(from, to, n.CharClass);
    }
}

void TRE_NFAStateSet::IncludeAll(const TRE_NFAStateSet& Other) {
    for (size_t i = 0; i < Bits.size(); ++i)
        Bits[i] |= Other.Bits[i];
}

std::size_t TRE_NFAStateSet::Hash() const {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(Bits.data()), Bits.size()));
}

}  // namespace zb
