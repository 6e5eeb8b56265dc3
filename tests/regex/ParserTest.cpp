// Parse-tree shapes, shared leaves, disjoint leaves after splitting, negated classes, and the
// parser's syntax errors.

#include "regex/TREParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "RegexTestUtil.h"

namespace zb {
namespace {

using test::parserError;
using test::range;
using test::tree;

std::string parse(const std::string& expr) {
    TREParser p(expr);
    p.Run();
    return tree(p.ParseTree.Root);
}

std::set<std::string> leaves(const std::string& expr) {
    TREParser p(expr);
    p.Run();
    std::set<std::string> out;
    for (const auto& leaf : p.ParseTree.LeafList)
        out.insert(range(leaf->CharClass));
    return out;
}

TEST(Parser, TreeShapes) {
    EXPECT_EQ(parse(""), "E");
    EXPECT_EQ(parse("a|"), "U(a,E)");
    EXPECT_EQ(parse("|a"), "U(E,a)");
    EXPECT_EQ(parse("()"), "E");
    EXPECT_EQ(parse("ab|cd"), "U(C(a,b),C(c,d))");
    EXPECT_EQ(parse("abc"), "C(C(a,b),c)");
    EXPECT_EQ(parse("a|b|c"), "U(U(a,b),c)");
    EXPECT_EQ(parse("a*"), "*(a)");
    EXPECT_EQ(parse("a?"), "U(a,E)");
    EXPECT_EQ(parse("a+"), "C(a,*(a))");
    EXPECT_EQ(parse("x^"), "C(x,^)");
    EXPECT_EQ(parse("$x"), "C($,x)");
    EXPECT_EQ(parse("[ab]"), "U(a,b)");
}

TEST(Parser, LeavesAndRepeatedSubtreesAreShared) {
    TREParser p("aa");
    p.Run();
    const RENode_t* root = p.ParseTree.Root;
    EXPECT_EQ(root->pLeft, root->pRight);
    EXPECT_EQ(p.ParseTree.LeafList.size(), 1u);

    TREParser plus("(ab)+");
    plus.Run();
    const RENode_t* r = plus.ParseTree.Root;
    ASSERT_EQ(r->Op, reop_Concat);
    EXPECT_EQ(r->pLeft, r->pRight->pLeft);  // Concat(P, Closure(P)) with one P
    EXPECT_EQ(tree(r), "C(C(a,b),*(C(a,b)))");
}

TEST(Parser, OverlappingClassesAreSplitIntoDisjointLeaves) {
    TREParser p("[a-z]|[m-q]");
    p.Run();
    EXPECT_EQ(tree(p.ParseTree.Root), "U(U(U(a-l,m-q),r-z),m-q)");
    EXPECT_EQ(leaves("[a-z]|[m-q]"), (std::set<std::string>{"a-l", "m-q", "r-z"}));
    EXPECT_EQ(leaves("[a-c]|[a-e]"), (std::set<std::string>{"a-c", "d-e"}));
    EXPECT_EQ(parse("[a-c]|[a-e]"), "U(a-c,U(a-c,d-e))");
}

TEST(Parser, SplitCasesCoverEachOriginalRange) {
    // Same start, same end, partial overlap, nesting, and a chain of overlaps.
    EXPECT_EQ(leaves("[a-e]|[c-e]"), (std::set<std::string>{"a-b", "c-e"}));
    EXPECT_EQ(leaves("[a-e]|[c-h]"), (std::set<std::string>{"a-b", "c-e", "f-h"}));
    EXPECT_EQ(leaves("[a-h]|c"), (std::set<std::string>{"a-b", "c", "d-h"}));
    EXPECT_EQ(leaves("[a-d][c-f][e-h]"), (std::set<std::string>{"a-b", "c-d", "e-f", "g-h"}));
}

TEST(Parser, LeavesArePairwiseDisjointForManyOverlappingRanges) {
    std::string expr;
    for (int i = 0; i < 60; ++i) {
        const int lo = 0x21 + (i * 7) % 80;
        const int hi = std::min(lo + (i * 13) % 30, 0x7e);
        char buf[32];
        std::snprintf(buf, sizeof buf, "[\\x%x-\\x%x]", lo, hi);
        expr += buf;
    }
    TREParser p(expr);
    p.Run();
    std::vector<RECharClass_t> ranges;
    for (const auto& leaf : p.ParseTree.LeafList)
        ranges.push_back(leaf->CharClass);
    std::sort(ranges.begin(), ranges.end(),
              [](auto a, auto b) { return a.StartChar < b.StartChar; });
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        EXPECT_GT(ranges[i].StartChar, ranges[i - 1].EndChar);
    }
}

TEST(Parser, AnyCharacterExcludesLineEndsAndZero) {
    EXPECT_EQ(parse("."), "U(U(0x1-0x9,0xb-0xc),0xe-0xfcfc)");
}

TEST(Parser, NegatedClassesSubtractFromAnyCharacter) {
    EXPECT_EQ(leaves("[^a]"), (std::set<std::string>{"0x1-0x9", "0xb-0xc", "0xe-`", "b-0xfcfc"}));
    EXPECT_EQ(parse("[^a]"), "U(U(U(0xb-0xc,0x1-0x9),0xe-`),b-0xfcfc)");
    EXPECT_EQ(leaves("[^\\x01-\\x7f]"), (std::set<std::string>{"0x80-0xfcfc"}));
    EXPECT_EQ(leaves("[^\\n]"), (std::set<std::string>{"0x1-0x9", "0xb-0xc", "0xe-0xfcfc"}));
    EXPECT_EQ(leaves("[^a-cb-e]"),
              (std::set<std::string>{"0x1-0x9", "0xb-0xc", "0xe-`", "f-0xfcfc"}));
}

TEST(Parser, NegatedClassThatLeavesNothingIsAnError) {
    const ERegExpParser e = parserError([] { parse("x[^\\x01-\\xfcfc]"); });
    EXPECT_EQ(e.Message, "不正なキャラクタクラス指定です。");
    EXPECT_EQ(e.ErrorPos, 16);
}

TEST(Parser, BracketInsideClasses) {
    EXPECT_EQ(leaves("[\\]a]"), (std::set<std::string>{"]", "a"}));
    const ERegExpParser e = parserError([] { parse("[]a]"); });
    EXPECT_EQ(e.Message, "不正なキャラクタクラス指定です。");
}

void expectError(const std::string& expr, const std::string& message, int pos) {
    const ERegExpParser e = parserError([&] { parse(expr); });
    EXPECT_EQ(e.Message, message) << expr;
    EXPECT_EQ(e.ErrorPos, pos) << expr;
}

TEST(Parser, Errors) {
    const std::string charOrParen = "普通の文字、または左括弧\"(\"が必要です";
    expectError("a)b", "正規表現に余分な文字があります", 3);
    expectError("(ab", "右(閉じ)括弧が必要です", 4);
    expectError("*a", charOrParen, 2);
    expectError("a|+", charOrParen, 4);
    expectError("a**", charOrParen, 4);
    expectError("a+?", charOrParen, 4);
    expectError("a]", charOrParen, 3);
    expectError("[]", "不正なキャラクタクラス指定です。", 3);
    expectError("[^]", "不正なキャラクタクラス指定です。", 4);
}

TEST(Parser, DeepNestingIsRefusedWithAClearError) {
    const std::string deep(10000, '(');
    const ERegExpParser e = parserError([&] { parse(deep); });
    EXPECT_EQ(e.Message, "括弧の入れ子が深すぎます");
    EXPECT_EQ(e.ErrorPos, TREParser::MaxNesting + 2);  // just past the offending "("

    std::string ok;
    for (int i = 0; i < TREParser::MaxNesting; ++i)
        ok += "(";
    ok += "a";
    for (int i = 0; i < TREParser::MaxNesting; ++i)
        ok += ")";
    EXPECT_EQ(parse(ok), "a");
}

TEST(Parser, LongFlatExpressionsParse) {
    std::string alternation;
    for (int i = 0; i < 20000; ++i)
        alternation += "a|";
    TREParser p(alternation);
    EXPECT_NO_THROW(p.Run());
    TREParser q(std::string(50000, 'x'));
    EXPECT_NO_THROW(q.Run());
}

TEST(Parser, RunAgainStartsFromAnEmptyTree) {
    TREParser p("[a-z]");
    p.Run();
    p.Scanner.SetRegExpStr("b");
    p.Run();
    EXPECT_EQ(tree(p.ParseTree.Root), "b");
    EXPECT_EQ(p.ParseTree.LeafList.size(), 1u);
}

}  // namespace
}  // namespace zb
