#pragma once
// Helpers shared by the engine's tests: catching syntax errors and printing trees and automata
// in a compact form that the expectations can be written in.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "regex/ERegExpParser.h"
#include "regex/TREParseTree.h"
#include "regex/TRE_DFA.h"

namespace zb::test {

// Runs f and returns the ERegExpParser it raised; fails the test when it raised none.
template <typename F>
ERegExpParser parserError(F f) {
    try {
        f();
    } catch (const ERegExpParser& e) {
        return e;
    }
    ADD_FAILURE() << "no ERegExpParser raised";
    return ERegExpParser("", -1);
}

// A code as text: printable ASCII as itself, anything else as 0x and hex digits.
inline std::string code(WChar_t ch) {
    if (ch > 0x20 && ch < 0x7F) return std::string(1, static_cast<char>(ch));
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%x", ch);
    return buf;
}

inline std::string range(const RECharClass_t& cc) {
    if (cc.StartChar == cc.EndChar) return code(cc.StartChar);
    return code(cc.StartChar) + "-" + code(cc.EndChar);
}

// Tree as text: U(l,r) union, C(l,r) concat, *(x) closure, E empty, ^ and $ nodes, leaves as
// their ranges.
inline std::string tree(const RENode_t* n) {
    if (n == nullptr) return "null";
    switch (n->Op) {
        case reop_Char:
            return range(n->CharClass);
        case reop_LHead:
            return "^";
        case reop_LTail:
            return "$";
        case reop_Concat:
            return "C(" + tree(n->pLeft) + "," + tree(n->pRight) + ")";
        case reop_Union:
            return "U(" + tree(n->pLeft) + "," + tree(n->pRight) + ")";
        case reop_Closure:
            return "*(" + tree(n->pLeft) + ")";
        case reop_Empty:
            return "E";
    }
    return "?";
}

// DFA as text: one "state[A]: range>target ..." entry per state, in state-list order.
inline std::string dfa(const TRE_DFA& d) {
    std::string out;
    for (const auto& s : d.StateList) {
        out += std::to_string(s->Number) + (s->Accepted ? "A" : "") + ":";
        for (const RE_DFAStateSub_t& t : s->Next) {
            out += " " + range(t.CharClass) + ">" + std::to_string(t.TransitTo->Number);
        }
        out += "\n";
    }
    return out;
}

}  // namespace zb::test
