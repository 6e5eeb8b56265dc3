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
    // A Closure adds its back and exit transitions after its child is laid out: a frame
    // without a node does that (S2 -> S1 empty, then S1 -> To empty).
    struct Frame {
        RENode_t* node;
        int from;
        int to;
        int closureExit;
    };
    if (Node == nullptr) throw Exception(remsg::NFACannotHappen);
    std::vector<Frame> stack{{Node, From, To, 0}};
    while (!stack.empty()) {
        const Frame f = stack.back();
        stack.pop_back();
        if (f.node == nullptr) {
            AddTransition(f.to, f.from, CONST_EMPTYCharClass, true);
            AddTransition(f.from, f.closureExit, CONST_EMPTYCharClass, true);
            continue;
        }
        RENode_t* n = f.node;
        switch (n->Op) {
            case reop_Char:
                AddTransition(f.from, f.to, n->CharClass);
                break;
            case reop_LHead:
                if (f.from == EntryState) {
                    HasLHead = true;
                    AddTransition(f.from, f.to, {LineHeadWChar, LineHeadWChar});
                } else {
                    AddTransition(f.from, f.to, n->CharClass);
                }
                break;
            case reop_LTail:
                if (f.to == ExitState) {
                    HasLTail = true;
                    AddTransition(f.from, f.to, {LineTailWChar, LineTailWChar});
                } else {
                    AddTransition(f.from, f.to, n->CharClass);
                }
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
