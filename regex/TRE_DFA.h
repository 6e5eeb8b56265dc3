#pragma once
// Deterministic automaton built from a TRE_NFA by subset construction. Each state's transitions
// are sorted by their first code, so a lookup is one ordered scan. Also finds out whether the
// expression stands for one fixed string (a simple expression).

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "regex/TRE_NFA.h"

namespace zb {

struct RE_DFAState_t;

// The NFA states that a DFA state stands for, in ascending order. A long expression has a large
// NFA, but a DFA state usually holds few of its states: a list costs what it holds, where a bit
// set would cost the size of the whole NFA for every DFA state.
struct RE_NFAStateList {
    std::vector<int> States;

    bool Has(int n) const { return std::binary_search(States.begin(), States.end(), n); }
    bool Equals(const RE_NFAStateList& Other) const { return States == Other.States; }
    std::size_t Hash() const;
};

struct RE_DFAStateSub_t {
    RECharClass_t CharClass;
    RE_DFAState_t* TransitTo = nullptr;
};

struct RE_DFAState_t {
    explicit RE_DFAState_t(RE_NFAStateList set) : StateSet(std::move(set)) {}

    RE_NFAStateList StateSet;
    bool Visited = false;
    bool Accepted = false;
    std::vector<RE_DFAStateSub_t> Next;  // the transitions, sorted by StartChar after Run
    int Number = 0;                      // position in the DFA's StateList
};
using RE_pDFAState_t = RE_DFAState_t*;

// A work record while one state is expanded: the NFA states reached on one class (in the order
// they were met, possibly more than once, until Collect_Empty_Transition closes the list).
struct RE_DFATransNode_t {
    RECharClass_t CharClass;
    RE_NFAStateList ToNFAStateSet;
};

class TRE_DFA {
public:
    explicit TRE_DFA(TRE_NFA* NFA) : NFA(NFA) {}

    void Run();

    void Convert_NFA_to_DFA();
    // Closes S under empty transitions and sorts it (duplicates go).
    void Collect_Empty_Transition(RE_NFAStateList& S);
    RE_DFAState_t* Register_DFA_State(RE_NFAStateList S);
    RE_DFAState_t* Fetch_Unvisited_D_state();
    // The reachable sets of one state, in list order (the class met last comes first).
    std::vector<RE_DFATransNode_t> Compute_Reachable_N_state(const RE_DFAState_t* D);
    void StateListSort();
    void CheckIfRegExpIsSimple();

    // The construction counts its steps (transitions and set members scanned, states made) and
    // refuses the expression as too complex when they exceed BaseWork plus WorkPerByte for each
    // byte of the expression. Automata in proportion to their expression (long literals, long
    // alternations of words) always fit; one that explodes ((a|b)*a followed by many (a|b), or
    // a short expression with a huge NFA) is refused after a few hundredths of a second.
    static constexpr std::size_t BaseWork = 12'000'000;
    static constexpr std::size_t WorkPerByte = 128;
    // What one new state counts: making it costs several allocations, far more than a step.
    static constexpr std::size_t StateWork = 48;
    std::size_t Work() const { return work_; }
    std::size_t WorkLimit() const { return workLimit_; }

    std::vector<std::unique_ptr<RE_DFAState_t>> StateList;
    RE_DFAState_t* pInitialDFAState = nullptr;
    TRE_NFA* NFA;
    bool RegExpIsSimple = false;
    std::string SimpleRegExp;
    bool HasLHead = false;
    bool HasLTail = false;

private:
    void makeDisjoint(std::vector<RE_DFATransNode_t>& W);
    void indexEmptyTransitions();
    void indexClasses();
    void tooComplex() const;
    void spend(std::size_t steps);
    void growRegistry();

    // Registered states by the hash of their sets: open addressing, -1 for a free slot.
    std::vector<int> registry_;
    std::vector<std::size_t> hashes_;  // per state number: the hash of its set
    std::size_t unvisited_ = 0;        // no state before this index is unvisited
    std::size_t work_ = 0;
    std::size_t workLimit_ = 0;
    std::vector<int> emptyStart_;      // per NFA state: first index into emptyTarget_
    std::vector<int> emptyTarget_;     // targets of empty transitions, grouped by state
    std::vector<int> pending_;         // work stack of the closure
    std::vector<std::uint32_t> mark_;  // per NFA state: the closure that holds it
    std::uint32_t closure_ = 0;        // the number of the closure being computed
    std::unordered_map<std::uint32_t, std::size_t> classIds_;  // class -> dense number
    std::vector<int> classOf_;   // per NFA transition: its class number
    std::vector<int> recordOf_;  // per class number: its work record while a state is expanded
};

}  // namespace zb
