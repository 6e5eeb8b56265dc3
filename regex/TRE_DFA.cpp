#include "regex/TRE_DFA.h"

#include <algorithm>

#include "regex/ERegExpParser.h"

namespace zb {

std::size_t RE_NFAStateList::Hash() const {
    std::uint64_t h = States.size();
    for (const int n : States) {
        h = (h ^ static_cast<std::uint32_t>(n)) * 0x9E3779B97F4A7C15u;
        h ^= h >> 29;
    }
    return static_cast<std::size_t>(h);
}

void TRE_DFA::Run() {
    HasLHead = NFA->HasLHead;
    HasLTail = NFA->HasLTail;
    const std::size_t bytes = NFA->Parser ? NFA->Parser->Scanner.RegExpStr.size() : 0;
    workLimit_ = BaseWork + WorkPerByte * bytes;
    Convert_NFA_to_DFA();
    StateListSort();
    CheckIfRegExpIsSimple();
}

void TRE_DFA::spend(std::size_t steps) {
    work_ += steps;
    if (work_ > workLimit_) tooComplex();
}

void TRE_DFA::tooComplex() const {
    throw ERegExpParser(remsg::TooComplex, NFA->Parser ? NFA->Parser->Scanner.Index : 0);
}

void TRE_DFA::Convert_NFA_to_DFA() {
    if (workLimit_ == 0) workLimit_ = BaseWork;
    RE_NFAStateList S;
    S.States.push_back(NFA->EntryState);
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
    mark_.assign(static_cast<std::size_t>(count), 0);
    closure_ = 0;
}

void TRE_DFA::Collect_Empty_Transition(RE_NFAStateList& S) {
    if (emptyStart_.size() != static_cast<std::size_t>(NFA->StateCount()) + 1) {
        indexEmptyTransitions();
    }
    if (++closure_ == 0) {  // the numbers wrapped: forget every mark
        std::fill(mark_.begin(), mark_.end(), 0);
        closure_ = 1;
    }
    // Marks tell the members of this closure in one step; the list keeps each state once.
    std::vector<int>& states = S.States;
    std::size_t kept = 0;
    pending_.clear();
    auto include = [&](int n) {
        std::uint32_t& mark = mark_[static_cast<std::size_t>(n)];
        if (mark == closure_) return false;
        mark = closure_;
        const auto u = static_cast<std::size_t>(n);
        if (emptyStart_[u] != emptyStart_[u + 1]) pending_.push_back(n);
        return true;
    };
    spend(states.size());
    for (const int n : states) {
        if (include(n)) states[kept++] = n;
    }
    states.resize(kept);
    while (!pending_.empty()) {
        const auto n = static_cast<std::size_t>(pending_.back());
        pending_.pop_back();
        spend(static_cast<std::size_t>(emptyStart_[n + 1] - emptyStart_[n]) + 1);
        for (int k = emptyStart_[n]; k < emptyStart_[n + 1]; ++k) {
            const int to = emptyTarget_[static_cast<std::size_t>(k)];
            if (include(to)) states.push_back(to);
        }
    }
    spend(states.size());
    std::sort(states.begin(), states.end());
}

void TRE_DFA::growRegistry() {
    std::vector<int> slots(std::max<std::size_t>(64, registry_.size() * 2), -1);
    const std::size_t mask = slots.size() - 1;
    for (const auto& state : StateList) {
        std::size_t i = hashes_[static_cast<std::size_t>(state->Number)] & mask;
        while (slots[i] >= 0)
            i = (i + 1) & mask;
        slots[i] = state->Number;
    }
    registry_ = std::move(slots);
}

RE_DFAState_t* TRE_DFA::Register_DFA_State(RE_NFAStateList S) {
    if (registry_.empty()) growRegistry();
    const std::size_t hash = S.Hash();
    spend(S.States.size() + 1);
    const std::size_t mask = registry_.size() - 1;
    std::size_t i = hash & mask;
    for (; registry_[i] >= 0; i = (i + 1) & mask) {
        const auto number = static_cast<std::size_t>(registry_[i]);
        if (hashes_[number] != hash) continue;
        spend(S.States.size());
        if (StateList[number]->StateSet.Equals(S)) return StateList[number].get();
    }
    spend(StateWork);
    const bool accepted = S.Has(NFA->ExitState);
    auto state = std::make_unique<RE_DFAState_t>(std::move(S));
    state->Accepted = accepted;
    state->Number = static_cast<int>(StateList.size());
    registry_[i] = state->Number;
    hashes_.push_back(hash);
    StateList.push_back(std::move(state));
    if (StateList.size() * 2 > registry_.size()) growRegistry();
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
    for (const int n : D->StateSet.States) {
        spend(1);
        for (const RE_NFANode_t* t = NFA->First(n); t != nullptr; t = NFA->Next(t)) {
            spend(1);
            if (t->Empty) continue;
            const auto id = static_cast<std::size_t>(
                classOf_[static_cast<std::size_t>(t - NFA->Transitions.data())]);
            if (recordOf_[id] < 0) {
                recordOf_[id] = static_cast<int>(created.size());
                created.push_back({t->CharClass, {}});
            }
            created[static_cast<std::size_t>(recordOf_[id])].ToNFAStateSet.States.push_back(
                t->TransitTo);
        }
    }
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

void TRE_DFA::makeDisjoint(std::vector<RE_DFATransNode_t>& W) {
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
        RE_NFAStateList set;
        bool covered = false;
        spend(W.size());
        for (const RE_DFATransNode_t& r : W) {
            if (r.CharClass.StartChar <= piece.StartChar && piece.EndChar <= r.CharClass.EndChar) {
                const std::vector<int>& from = r.ToNFAStateSet.States;
                set.States.insert(set.States.end(), from.begin(), from.end());
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
