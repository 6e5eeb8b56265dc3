// NFA construction: state numbering, chain order and the anchor rules for "^" and "$".

#include "regex/TRE_NFA.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"

namespace zb {
namespace {

// The NFA as text: "from>to:label" per transition, states in order, each state's chain in chain
// order (newest first); empty transitions are labelled "e", anchors "H" and "T".
std::string nfa(const std::string& expr, bool* head = nullptr, bool* tail = nullptr) {
    TREParser p(expr);
    p.Run();
    TRE_NFA n(&p, WCHAR_LINE_HEAD, WCHAR_LINE_TAIL);
    n.Run();
    if (head) *head = n.HasLHead;
    if (tail) *tail = n.HasLTail;
    std::string out;
    for (int s = 0; s < n.StateCount(); ++s) {
        for (const RE_NFANode_t* t = n.First(s); t != nullptr; t = n.Next(t)) {
            std::string label = t->Empty ? "e" : test::range(t->CharClass);
            if (!t->Empty && t->CharClass.StartChar == WCHAR_LINE_HEAD) label = "H";
            if (!t->Empty && t->CharClass.StartChar == WCHAR_LINE_TAIL) label = "T";
            out += (out.empty() ? "" : " ") + std::to_string(s) + ">" +
                   std::to_string(t->TransitTo) + ":" + label;
        }
    }
    return out;
}

TEST(NFA, Construction) {
    EXPECT_EQ(nfa("ab"), "0>2:a 2>1:b");
    EXPECT_EQ(nfa("a|b"), "0>1:b 0>1:a");
    EXPECT_EQ(nfa("a|ab"), "0>2:a 0>1:a 2>1:b");
    EXPECT_EQ(nfa("a*"), "0>2:e 2>1:e 2>3:a 3>2:e");
    EXPECT_EQ(nfa(""), "0>1:e");
    EXPECT_EQ(nfa("a?"), "0>1:e 0>1:a");
}

TEST(NFA, PlusLaysItsOperandOutTwice) {
    EXPECT_EQ(nfa("a+"), "0>2:a 2>3:e 3>1:e 3>4:a 4>3:e");
}

TEST(NFA, AnchorsAtTheEdgesOfTheExpression) {
    bool head = false, tail = false;
    EXPECT_EQ(nfa("^a$", &head, &tail), "0>3:H 2>1:T 3>2:a");
    EXPECT_TRUE(head);
    EXPECT_TRUE(tail);
    for (const char* e : {"b|^a", "(^a|b)c", "^?a", "(^a)+"}) {
        nfa(e, &head, &tail);
        EXPECT_TRUE(head) << e;
    }
    for (const char* e : {"a$|b", "(a|b$)", "a$?"}) {
        nfa(e, &head, &tail);
        EXPECT_TRUE(tail) << e;
    }
}

TEST(NFA, AnchorsElsewhereAreLiteralCharacters) {
    bool head = true, tail = true;
    EXPECT_EQ(nfa("a^b", &head, &tail), "0>3:a 2>1:b 3>2:^");
    EXPECT_FALSE(head);
    EXPECT_EQ(nfa("a$b", &head, &tail), "0>3:a 2>1:b 3>2:$");
    EXPECT_FALSE(tail);
    for (const char* e : {"(^a)*", "a*^"}) {
        nfa(e, &head, &tail);
        EXPECT_FALSE(head) << e;
    }
    for (const char* e : {"(a$)*", "a$+"}) {
        nfa(e, &head, &tail);
        EXPECT_FALSE(tail) << e;
    }
    // The repeated copy of a "+" operand is literal, the first copy anchors.
    EXPECT_EQ(nfa("(^a)+", &head, &tail), "0>3:H 2>4:e 3>2:a 4>1:e 4>6:^ 5>4:e 6>5:a");
}

TEST(NFA, DeepTreesAreBuiltWithoutRecursion) {
    std::string expr;
    for (int i = 0; i < 100000; ++i)
        expr += "a|";
    TREParser p(expr + "a");
    p.Run();
    TRE_NFA n(&p, WCHAR_LINE_HEAD, WCHAR_LINE_TAIL);
    n.Run();
    EXPECT_EQ(n.StateCount(), 2);
    EXPECT_EQ(n.Transitions.size(), 100001u);
}

TEST(NFA, AutomataOutOfProportionToTheExpressionAreRefused) {
    std::string nested = "a";
    for (int i = 0; i < 30; ++i)
        nested = "(" + nested + ")+";
    // Every wide class is split at each of the 2,000 distinct codes after it and laid out in
    // pieces: 2,000 times 2,000 transitions.
    std::string split;
    for (int i = 0; i < 2000; ++i)
        split += "[\\x01-\\xffff]";
    for (int i = 0; i < 2000; ++i)
        split += "\\x" + std::to_string(4000 + i);
    for (const std::string& expr : {nested, split}) {
        TREParser p(expr);
        p.Run();
        TRE_NFA n(&p, WCHAR_LINE_HEAD, WCHAR_LINE_TAIL);
        const ERegExpParser e = test::parserError([&] { n.Run(); });
        EXPECT_EQ(e.Message, "正規表現が複雑すぎます");
    }
}

TEST(NFAStateSet, BitsAndBytes) {
    EXPECT_EQ(TRE_NFAStateSet(8).ByteCount, 2);
    EXPECT_EQ(TRE_NFAStateSet(7).ByteCount, 1);
    TRE_NFAStateSet a(20), b(20);
    a.Include(0);
    a.Include(9);
    a.Include(19);
    EXPECT_TRUE(a.Has(9));
    EXPECT_FALSE(a.Has(8));
    EXPECT_EQ(a.Bits[1], 0x02);
    EXPECT_FALSE(a.Equals(b));
    b.IncludeAll(a);
    EXPECT_TRUE(a.Equals(b));
    EXPECT_EQ(a.Hash(), b.Hash());
}

}  // namespace
}  // namespace zb
