#pragma once
// Deterministic automaton built from a TRE_NFA by subset construction. Each state's transitions
// are sorted by their first code, so a lookup is one ordered scan. Also finds out whether the
// expression stands for one fixed string (a simple expression).

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "regex/TRE_NFA.h"

namespace zb {

struct RE_DFAState_t;

struct RE_DFAStateSub_t {
    RECharClass_t CharClass;
    RE_DFAState_t* TransitTo = nullptr;
};

struct RE_DFAState_t {
    explicit RE_DFAState_t(TRE_NFAStateSet set) : StateSet(std::move(set)) {}

    TRE_NFAStateSet StateSet;
    bool Visited = false;
    bool Accepted = false;
    std::vector<RE_DFAStateSub_t> Next;  // the transitions, sorted by StartChar after Run
    int Number = 0;                      // position in the DFA's StateList
};
using RE_pDFAState_t = RE_DFAState_t*;

// A work record while one state is expanded: the NFA states reached on one class.
struct RE_DFATransNode_t {
    RECharClass_t CharClass;
    TRE_NFAStateSet ToNFAStateSet;
};

class TRE_DFA {
public:
    explicit TRE_DFA(TRE_NFA* NFA) : NFA(NFA) {}

    void Run();

    void Convert_NFA_to_DFA();
    void Collect_Empty_Transition(TRE_NFAStateSet& S);
    RE_DFAState_t* Register_DFA_State(TRE_NFAStateSet S);
    RE_DFAState_t* Fetch_Unvisited_D_state();
    // The reachable sets of one state, in list order (the class met last comes first).
    std::vector<RE_DFATransNode_t> Compute_Reachable_N_state(const RE_DFAState_t* D);
    void StateListSort();
    void CheckIfRegExpIsSimple();

    // Larger automata are refused as too complex to compile.
    static constexpr std::size_t MaxStates = 250'000;
    static constexpr std::size_t MaxSetBytes = 256u << 20;
    // Steps of the construction (transitions scanned, closure steps, set bytes scanned): a
    // bound on compile time of about a tenth of a second. The 32,769-state DFA of
    // (a|b)*a followed by 14 groups (a|b) takes 1.25 million steps.
    static constexpr std::size_t MaxWork = 20'000'000;
    std::size_t Work() const { return work_; }

    std::vector<std::unique_ptr<RE_DFAState_t>> StateList;
    RE_DFAState_t* pInitialDFAState = nullptr;
    TRE_NFA* NFA;
    bool RegExpIsSimple = false;
    std::string SimpleRegExp;
    bool HasLHead = false;
    bool HasLTail = false;

private:
    void makeDisjoint(std::vector<RE_DFATransNode_t>& W) const;
    void indexEmptyTransitions();
    void indexClasses();
    void tooComplex() const;
    void spend(std::size_t steps);

    std::unordered_map<std::size_t, std::vector<RE_DFAState_t*>> registry_;
    std::size_t unvisited_ = 0;  // no state before this index is unvisited
    std::size_t setBytes_ = 0;
    std::size_t work_ = 0;
    std::vector<int> emptyStart_;   // per NFA state: first index into emptyTarget_
    std::vector<int> emptyTarget_;  // targets of empty transitions, grouped by state
    std::vector<int> pending_;      // work stack of the closure
    std::unordered_map<std::uint32_t, std::size_t> classIds_;  // class -> dense number
    std::vector<int> classOf_;   // per NFA transition: its class number
    std::vector<int> recordOf_;  // per class number: its work record while a state is expanded
};

}  // namespace zb
