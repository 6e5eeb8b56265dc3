#include "regex/TRE_DFA.h"

#include <algorithm>

#include "regex/ERegExpParser.h"

namespace zb {

namespace {

// Calls f(n) for every state number n in the set, in ascending order.
template <typename F>
void forEachState(const TRE_NFAStateSet& set, F f) {
    for (std::size_t byte = 0; byte < set.Bits.size(); ++byte) {
        unsigned bits = set.Bits[byte];
        while (bits != 0) {
            const int bit = __builtin_ctz(bits);
            bits &= bits - 1;
            f(static_cast<int>(byte * 8) + bit);
        }
    }
}

}  // namespace

void TRE_DFA::Run() {
    HasLHead = NFA->HasLHead;
    HasLTail = NFA->HasLTail;
    Convert_NFA_to_DFA();
    StateListSort();
    CheckIfRegExpIsSimple();
}

void TRE_DFA::spend(std::size_t steps) {
    work_ += steps;
    if (work_ > MaxWork) tooComplex();
}

void TRE_DFA::tooComplex() const {
    throw ERegExpParser(remsg::TooComplex, NFA->Parser ? NFA->Parser->Scanner.Index : 0);
}

void TRE_DFA::Convert_NFA_to_DFA() {
    TRE_NFAStateSet S(NFA->StateCount());
    S.Include(NFA->EntryState);
    Collect_Empty_Transition(S);
    pInitialDFAState = Register_DFA_State(std::move(S));

    for (RE_DFAState_t* D = Fetch_Unvisited_D_state(); D != nullptr;
         D = Fetch_Unvisited_D_state()) {
        D->Visited = true;
        std::vector<RE_DFATransNode_t> W = Compute_Reachable_N_state(D);
        // Each new transition is linked in front of D's list: build in W order, then reverse.
        std::vector<RE_DFAStateSub_t> linked;
        linked.reserve(W.size());
        for (RE_DFATransNode_t& record : W) {
            Collect_Empty_Transition(record.ToNFAStateSet);
            RE_DFAState_t* target = Register_DFA_State(std::move(record.ToNFAStateSet));
            linked.push_back({record.CharClass, target});
        }
        D->Next.assign(linked.rbegin(), linked.rend());
    }
}

void TRE_DFA::indexEmptyTransitions() {
    // The closure is computed once per registered set, over and over for the same NFA states:
    // keep each state's empty-transition targets in one flat array.
    const int count = NFA->StateCount();
    emptyStart_.assign(static_cast<std::size_t>(count) + 1, 0);
    emptyTarget_.clear();
    for (int n = 0; n < count; ++n) {
        emptyStart_[static_cast<std::size_t>(n)] = static_cast<int>(emptyTarget_.size());
        for (const RE_NFANode_t* t = NFA->First(n); t != nullptr; t = NFA->Next(t)) {
            if (t->Empty) emptyTarget_.push_back(t->TransitTo);
        }
    }
    emptyStart_[static_cast<std::size_t>(count)] = static_cast<int>(emptyTarget_.size());
}

void TRE_DFA::Collect_Empty_Transition(TRE_NFAStateSet& S) {
    if (emptyStart_.size() != static_cast<std::size_t>(NFA->StateCount()) + 1) {
        indexEmptyTransitions();
    }
    pending_.clear();
    spend(S.Bits.size());
    forEachState(S, [&](int n) {
        if (emptyStart_[static_cast<std::size_t>(n)] !=
            emptyStart_[static_cast<std::size_t>(n) + 1]) {
            pending_.push_back(n);
        }
    });
    while (!pending_.empty()) {
        const auto n = static_cast<std::size_t>(pending_.back());
        pending_.pop_back();
        spend(static_cast<std::size_t>(emptyStart_[n + 1] - emptyStart_[n]) + 1);
        for (int k = emptyStart_[n]; k < emptyStart_[n + 1]; ++k) {
            const int to = emptyTarget_[static_cast<std::size_t>(k)];
            if (!S.Has(to)) {
                S.Include(to);
                pending_.push_back(to);
            }
        }
    }
}

RE_DFAState_t* TRE_DFA::Register_DFA_State(TRE_NFAStateSet S) {
    std::vector<RE_DFAState_t*>& bucket = registry_[S.Hash()];
    for (RE_DFAState_t* state : bucket) {
        if (state->StateSet.Equals(S)) return state;
    }
    if (StateList.size() >= MaxStates || setBytes_ + S.Bits.size() > MaxSetBytes) tooComplex();
    setBytes_ += S.Bits.size();
    const bool accepted = S.Has(NFA->ExitState);
    auto state = std::make_unique<RE_DFAState_t>(std::move(S));
    state->Accepted = accepted;
    state->Number = static_cast<int>(StateList.size());
    bucket.push_back(state.get());
    StateList.push_back(std::move(state));
    return StateList.back().get();
}

RE_DFAState_t* TRE_DFA::Fetch_Unvisited_D_state() {
    while (unvisited_ < StateList.size() && StateList[unvisited_]->Visited)
        ++unvisited_;
    return unvisited_ < StateList.size() ? StateList[unvisited_].get() : nullptr;
}

std::vector<RE_DFATransNode_t> TRE_DFA::Compute_Reachable_N_state(const RE_DFAState_t* D) {
    if (classOf_.size() != NFA->Transitions.size()) indexClasses();
    std::vector<RE_DFATransNode_t> created;  // in the order the classes were first met
    spend(D->StateSet.Bits.size());
    forEachState(D->StateSet, [&](int n) {
        for (const RE_NFANode_t* t = NFA->First(n); t != nullptr; t = NFA->Next(t)) {
            spend(1);
            if (t->Empty) continue;
            const auto id = static_cast<std::size_t>(
                classOf_[static_cast<std::size_t>(t - NFA->Transitions.data())]);
            if (recordOf_[id] < 0) {
                recordOf_[id] = static_cast<int>(created.size());
                created.push_back({t->CharClass, TRE_NFAStateSet(NFA->StateCount())});
            }
            created[static_cast<std::size_t>(recordOf_[id])].ToNFAStateSet.Include(t->TransitTo);
        }
    });
    for (const RE_DFATransNode_t& r : created)
        recordOf_[classIds_.at(r.CharClass.Packed())] = -1;
    makeDisjoint(created);
    // Records are linked in front of the work list: the list runs from the last one made.
    std::reverse(created.begin(), created.end());
    return created;
}

void TRE_DFA::indexClasses() {
    // Transitions are grouped by their exact class; number the distinct classes once so that
    // grouping is an array lookup.
    classIds_.clear();
    classOf_.resize(NFA->Transitions.size());
    for (std::size_t i = 0; i < NFA->Transitions.size(); ++i) {
        const auto [it, isNew] =
            classIds_.try_emplace(NFA->Transitions[i].CharClass.Packed(), classIds_.size());
        classOf_[i] = static_cast<int>(it->second);
    }
    recordOf_.assign(classIds_.size(), -1);
}

void TRE_DFA::makeDisjoint(std::vector<RE_DFATransNode_t>& W) const {
    // Parse-tree leaves are pairwise disjoint, but a literal "^" or "$", or an anchor's marker
    // code, may overlap a class range. Split overlapping records into pieces, each reaching the
    // union of the sets of the records that cover it, so no code has two transitions.
    std::vector<const RE_DFATransNode_t*> sorted;
    sorted.reserve(W.size());
    for (const RE_DFATransNode_t& r : W)
        sorted.push_back(&r);
    std::sort(sorted.begin(), sorted.end(), [](const auto* a, const auto* b) {
        return a->CharClass.StartChar < b->CharClass.StartChar;
    });
    bool overlap = false;
    for (std::size_t i = 1; i < sorted.size() && !overlap; ++i) {
        overlap = sorted[i]->CharClass.StartChar <= sorted[i - 1]->CharClass.EndChar;
    }
    if (!overlap) return;

    std::vector<int> bounds;
    for (const RE_DFATransNode_t& r : W) {
        bounds.push_back(r.CharClass.StartChar);
        bounds.push_back(r.CharClass.EndChar + 1);
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());

    std::vector<RE_DFATransNode_t> pieces;
    for (std::size_t k = 0; k + 1 < bounds.size(); ++k) {
        const RECharClass_t piece{static_cast<WChar_t>(bounds[k]),
                                  static_cast<WChar_t>(bounds[k + 1] - 1)};
        TRE_NFAStateSet set(NFA->StateCount());
        bool covered = false;
        for (const RE_DFATransNode_t& r : W) {
            if (r.CharClass.StartChar <= piece.StartChar && piece.EndChar <= r.CharClass.EndChar) {
                set.IncludeAll(r.ToNFAStateSet);
                covered = true;
            }
        }
        if (covered) pieces.push_back({piece, std::move(set)});
    }
    W = std::move(pieces);
}

void TRE_DFA::StateListSort() {
    for (const auto& state : StateList) {
        std::stable_sort(state->Next.begin(), state->Next.end(),
                         [](const RE_DFAStateSub_t& a, const RE_DFAStateSub_t& b) {
                             return a.CharClass.StartChar < b.CharClass.StartChar;
                         });
    }
}

void TRE_DFA::CheckIfRegExpIsSimple() {
    RegExpIsSimple = false;
    SimpleRegExp.clear();
    // A code counts only if its bytes read back as the same code, so that a literal search for
    // SimpleRegExp finds what the automaton finds; the anchors' marker codes are the exception.
    auto literal = [this](WChar_t ch) {
        if ((NFA->HasLHead && ch == NFA->LineHeadWChar) ||
            (NFA->HasLTail && ch == NFA->LineTailWChar)) {
            return true;
        }
        const std::string bytes = WCharToStr(ch);
        if (ch == 0) return false;
        const unsigned char lead = static_cast<unsigned char>(bytes[0]);
        const WChar_t back =
            bytes.size() == 2
                ? static_cast<WChar_t>(lead << 8 | static_cast<unsigned char>(bytes[1]))
                : lead;
        return back == ch && (bytes.size() == 2 || !IsDBCSLeadByte(lead));
    };
    const RE_DFAState_t* D = pInitialDFAState;
    for (std::size_t steps = 0; steps <= StateList.size(); ++steps) {
        if (D == nullptr || D->Next.empty()) {
            RegExpIsSimple = true;
            return;
        }
        const RE_DFAStateSub_t& t = D->Next.front();
        if (D->Next.size() > 1 || t.CharClass.StartChar != t.CharClass.EndChar ||
            (D->Accepted && t.TransitTo != nullptr) || !literal(t.CharClass.StartChar)) {
            SimpleRegExp.clear();
            return;
        }
        SimpleRegExp += WCharToStr(t.CharClass.StartChar);
        D = t.TransitTo;
    }
    SimpleRegExp.clear();  // a cycle of single transitions without an accepting state
}

}  // namespace zb
