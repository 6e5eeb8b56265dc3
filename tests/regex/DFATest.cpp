// Subset construction, transition order, disjoint transitions and the simple-expression check.

#include "regex/TRE_DFA.h"

#include <gtest/gtest.h>

#include <memory>

#include "RegexTestUtil.h"
#include "regex/TRegularExpression.h"

namespace zb {
namespace {

struct Compiled {
    explicit Compiled(const std::string& expr, WChar_t head = WCHAR_LINE_HEAD,
                      WChar_t tail = WCHAR_LINE_TAIL)
        : parser(expr) {
        parser.Run();
        nfa = std::make_unique<TRE_NFA>(&parser, head, tail);
        nfa->Run();
        dfa = std::make_unique<TRE_DFA>(nfa.get());
        dfa->Run();
    }
    std::string text() const { return test::dfa(*dfa); }

    TREParser parser;
    std::unique_ptr<TRE_NFA> nfa;
    std::unique_ptr<TRE_DFA> dfa;
};

TEST(DFA, Chains) {
    Compiled c("abc");
    EXPECT_EQ(c.text(), "0: a>1\n1: b>2\n2: c>3\n3A:\n");
    EXPECT_TRUE(c.dfa->RegExpIsSimple);
    EXPECT_EQ(c.dfa->SimpleRegExp, "abc");
}

TEST(DFA, AcceptingStateWithATransitionIsNotSimple) {
    Compiled c("a|ab");
    EXPECT_EQ(c.text(), "0: a>1\n1A: b>2\n2A:\n");
    EXPECT_FALSE(c.dfa->RegExpIsSimple);
    EXPECT_EQ(c.dfa->SimpleRegExp, "");
    // {1, 2} then {1}
    EXPECT_TRUE(c.dfa->StateList[1]->StateSet.Has(1));
    EXPECT_TRUE(c.dfa->StateList[1]->StateSet.Has(2));
}

TEST(DFA, EmptyExpressionIsOneAcceptingState) {
    Compiled c("");
    EXPECT_EQ(c.text(), "0A:\n");
    EXPECT_TRUE(c.dfa->RegExpIsSimple);
    EXPECT_EQ(c.dfa->SimpleRegExp, "");
}

TEST(DFA, SimpleExpressions) {
    auto simple = [](const std::string& e) { return Compiled(e).dfa->RegExpIsSimple; };
    EXPECT_TRUE(simple("ab|ab"));
    EXPECT_EQ(Compiled("ab|ab").dfa->SimpleRegExp, "ab");
    EXPECT_TRUE(simple("a(b)c"));
    EXPECT_EQ(Compiled("src=/images\\?q").dfa->SimpleRegExp, "src=/images?q");
    EXPECT_FALSE(simple("a?b"));
    EXPECT_FALSE(simple("[ab]"));
    EXPECT_FALSE(simple("[a-c]"));
    EXPECT_FALSE(simple("ab*"));
    EXPECT_FALSE(simple("nav_next.gif"));
    EXPECT_EQ(Compiled("\x82\xa0\x82\xa2").dfa->SimpleRegExp, "\x82\xa0\x82\xa2");
}

TEST(DFA, AnchoredLiteralIsSimpleWithTheMarkerBytes) {
    Compiled c("^abc");
    EXPECT_TRUE(c.dfa->RegExpIsSimple);
    EXPECT_EQ(c.dfa->SimpleRegExp,
              "\xfd"
              "abc");
    EXPECT_TRUE(c.dfa->HasLHead);
    Compiled lf("^abc$", 10, 10);
    EXPECT_EQ(lf.dfa->SimpleRegExp, "\nabc\n");
}

TEST(DFA, CodesWhoseBytesReadBackDifferentlyAreNotSimple) {
    // 0x4142 is no character: its bytes would be the single "B".
    EXPECT_FALSE(Compiled("\\x4142").dfa->RegExpIsSimple);
    // A lone lead byte would join the next byte into one character.
    EXPECT_FALSE(Compiled("\\x82a").dfa->RegExpIsSimple);
    // Code 0 ends a text; it cannot be searched for as a byte.
    EXPECT_FALSE(Compiled("a\\x0").dfa->RegExpIsSimple);
    EXPECT_TRUE(Compiled("\\x82a0").dfa->RegExpIsSimple);
}

TEST(DFA, RegistrationFindsEqualSets) {
    Compiled c("a*");
    EXPECT_EQ(c.text(), "0A: a>1\n1A: a>1\n");
}

TEST(DFA, TransitionsAreSortedByTheirFirstCode) {
    Compiled c("[a-z]1|[m-q]2");
    const auto& first = c.dfa->pInitialDFAState->Next;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(test::range(first[0].CharClass), "a-l");
    EXPECT_EQ(test::range(first[1].CharClass), "m-q");
    EXPECT_EQ(test::range(first[2].CharClass), "r-z");
    // m-q reaches both alternatives.
    EXPECT_EQ(first[1].TransitTo->Next.size(), 2u);
}

TEST(DFA, StatesAreRegisteredInTheOrderTheirClassesWereLastMet) {
    // The work list is built by linking in front, so the class met last is registered first.
    Compiled c("ab|cd");
    EXPECT_EQ(c.text(), "0: a>1 c>2\n1: b>3\n2: d>3\n3A:\n");
}

// Every state has at most one transition for any code.
void expectDisjoint(const TRE_DFA& d, const std::string& expr) {
    for (const auto& s : d.StateList) {
        for (std::size_t i = 1; i < s->Next.size(); ++i) {
            EXPECT_GT(s->Next[i].CharClass.StartChar, s->Next[i - 1].CharClass.EndChar)
                << expr << "\n"
                << test::dfa(d);
        }
    }
}

TEST(DFA, LiteralAnchorsOverlappingClassesGiveDisjointTransitions) {
    for (const char* e : {"a[\\x20-\\x7e]|a^", "x$|x[!-~]", "(.|^)*", "a(^|[^b])c"}) {
        Compiled c(e);
        expectDisjoint(*c.dfa, e);
    }
    // "a^" after "a" must still be reachable: the literal "^" joins the class's target.
    Compiled c("a[\\x20-\\x7e]|a^b");
    const RE_DFAState_t* afterA = TRegularExpression::NextDFAState(c.dfa->pInitialDFAState, 'a');
    ASSERT_NE(afterA, nullptr);
    const RE_DFAState_t* afterCaret = TRegularExpression::NextDFAState(afterA, '^');
    ASSERT_NE(afterCaret, nullptr);
    EXPECT_TRUE(afterCaret->Accepted);
    EXPECT_NE(TRegularExpression::NextDFAState(afterCaret, 'b'), nullptr);
}

TEST(DFA, MarkerCodesInsideClassesGiveDisjointTransitions) {
    // With LF markers, an anchor and a class holding LF leave the initial state together.
    Compiled c("^a|[\\x01-\\x7f]b", 10, 10);
    expectDisjoint(*c.dfa, "^a|[\\x01-\\x7f]b");
    const RE_DFAState_t* afterLF = TRegularExpression::NextDFAState(c.dfa->pInitialDFAState, 10);
    ASSERT_NE(afterLF, nullptr);
    EXPECT_NE(TRegularExpression::NextDFAState(afterLF, 'a'), nullptr);
    EXPECT_NE(TRegularExpression::NextDFAState(afterLF, 'b'), nullptr);
}

TEST(DFA, CodeFFFFIsACharacterNotAnEmptyTransition) {
    Compiled c("a\\xffffb");
    const RE_DFAState_t* afterA = TRegularExpression::NextDFAState(c.dfa->pInitialDFAState, 'a');
    ASSERT_NE(afterA, nullptr);
    EXPECT_EQ(TRegularExpression::NextDFAState(afterA, 'b'), nullptr);
}

TEST(DFA, ExponentialFamilyHasTwoToTheNStates) {
    // The last n + 1 characters decide the state; the initial state is one more.
    std::string expr = "(a|b)*a";
    for (int n = 1; n <= 8; ++n) {
        expr += "(a|b)";
        EXPECT_EQ(Compiled(expr).dfa->StateList.size(), (std::size_t{1} << (n + 1)) + 1) << n;
    }
}

TEST(DFA, TooManyStatesIsAClearError) {
    std::string expr = "(a|b)*a";
    for (int n = 0; n < 20; ++n)
        expr += "(a|b)";
    const ERegExpParser e = test::parserError([&] { Compiled c(expr); });
    EXPECT_EQ(e.Message, "正規表現が複雑すぎます");
}

TEST(DFA, LongLiteralsAndAlternationsOfWordsCompile) {
    // Their automata grow with the expression, so no length of them is too complex.
    TRegularExpression re;
    const std::string literal(100000, 'a');
    re.SetRegExp(literal);
    EXPECT_EQ(re.GetCurrentDFA()->StateList.size(), literal.size() + 1);
    EXPECT_EQ(re.GetSimpleRegExp(), literal);

    // 10,000 distinct eight-letter words: each leads to an accepting state, no shorter prefix
    // of it does.
    std::vector<std::string> words;
    std::string alternation;
    for (int i = 0; i < 10000; ++i) {
        std::string w;
        for (int k = 0, v = i * 7919; k < 8; ++k, v /= 26)
            w += static_cast<char>('a' + v % 26);
        alternation += (i ? "|" : "") + w;
        words.push_back(w);
    }
    re.SetRegExp(alternation);
    for (const std::string& w : words) {
        const RE_DFAState_t* s = re.GetpInitialDFAState();
        for (std::size_t k = 0; k < w.size() && s != nullptr; ++k) {
            EXPECT_FALSE(s->Accepted) << w;
            s = TRegularExpression::NextDFAState(s, static_cast<unsigned char>(w[k]));
        }
        ASSERT_NE(s, nullptr) << w;
        EXPECT_TRUE(s->Accepted) << w;
    }
}

}  // namespace
}  // namespace zb
