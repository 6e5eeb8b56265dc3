// The tokenizer in its two modes, and its syntax errors with their positions.

#include "regex/TREScanner.h"

#include <gtest/gtest.h>

#include <vector>

#include "RegexTestUtil.h"

namespace zb {
namespace {

using test::parserError;

struct Tok {
    REToken_t token;
    WChar_t start;
    WChar_t end;
    bool operator==(const Tok&) const = default;
};

std::vector<Tok> tokens(const std::string& expr) {
    TREScanner s(expr);
    std::vector<Tok> out;
    for (;;) {
        const REToken_t t = s.GetToken();
        out.push_back({t, s.Symbol.StartChar, s.Symbol.EndChar});
        if (t == retk_End) return out;
    }
}

TEST(Scanner, StandardModeTokens) {
    const std::vector<Tok> expected = {
        {retk_LHead, '^', 0}, {retk_LPar, '(', 0}, {retk_Char, 'a', 0}, {retk_Union, '|', 0},
        {retk_Dot, '.', 0},   {retk_RPar, ')', 0}, {retk_Star, '*', 0}, {retk_Plus, '+', 0},
        {retk_QMark, '?', 0}, {retk_RBra, ']', 0}, {retk_Char, '.', 0}, {retk_Char, 0x82A0, 0},
        {retk_LTail, '$', 0}, {retk_End, 0, 0},
    };
    EXPECT_EQ(tokens("^(a|.)*+?]\\.\x82\xa0$"), expected);
}

TEST(Scanner, AnchorsAreTokensWhereverTheyStand) {
    const auto t = tokens("a^$b");
    EXPECT_EQ(t[1].token, retk_LHead);
    EXPECT_EQ(t[2].token, retk_LTail);
}

TEST(Scanner, EndIsReturnedAgainAndAgain) {
    TREScanner s("a");
    s.GetToken();
    EXPECT_EQ(s.GetToken(), retk_End);
    EXPECT_EQ(s.GetToken(), retk_End);
    EXPECT_EQ(s.Symbol.WChar, 0);
}

TEST(Scanner, ClassModeMembersAndRanges) {
    const std::vector<Tok> expected = {
        {retk_LBra, '[', 0},  {retk_CharClass, 'a', 'z'}, {retk_Char, '-', 0}, {retk_Char, ']', 0},
        {retk_Char, '\\', 0}, {retk_CharClass, 'a', '~'}, {retk_Char, '*', 0}, {retk_RBra, ']', 0},
        {retk_Char, 'x', 0},  {retk_End, 0, 0},
    };
    EXPECT_EQ(tokens("[a-z\\-\\]\\\\a-\\x7e*]x"), expected);
}

TEST(Scanner, DashBeforeTheClosingBracketIsAMember) {
    const auto t = tokens("[a-]");
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[1], (Tok{retk_Char, 'a', 0}));
    EXPECT_EQ(t[2], (Tok{retk_Char, '-', 0}));
    EXPECT_EQ(t[3].token, retk_RBra);
    const auto lead = tokens("[-a]");
    EXPECT_EQ(lead[1], (Tok{retk_Char, '-', 0}));
    EXPECT_EQ(lead[2], (Tok{retk_Char, 'a', 0}));
}

TEST(Scanner, NegatedClassConsumesTheCaret) {
    const auto t = tokens("[^^]");
    EXPECT_EQ(t[0].token, retk_LBraNeg);
    EXPECT_EQ(t[0].start, '[');
    EXPECT_EQ(t[1], (Tok{retk_Char, '^', 0}));
}

TEST(Scanner, DoubleByteRange) {
    const auto t = tokens("[\x82\xa0-\x82\xf1]");
    EXPECT_EQ(t[1], (Tok{retk_CharClass, 0x82A0, 0x82F1}));
}

TEST(Scanner, SetRegExpStrReturnsToTheStartState) {
    TREScanner s("[ab");
    s.GetToken();
    EXPECT_TRUE(s.InCharClass);
    s.SetRegExpStr("x");
    EXPECT_FALSE(s.InCharClass);
    EXPECT_EQ(s.Index, 1);
    EXPECT_EQ(s.GetToken(), retk_Char);
}

void expectError(const std::string& expr, const std::string& message, int pos) {
    const ERegExpParser e = parserError([&] { tokens(expr); });
    EXPECT_EQ(e.Message, message) << expr;
    EXPECT_EQ(e.ErrorPos, pos) << expr;
}

TEST(Scanner, Errors) {
    const std::string bracket = "右ブラケット\"]\"が必要です";
    expectError("[", bracket, 2);
    expectError("ab[", bracket, 4);
    expectError("[abc", bracket, 5);
    expectError("[a-", bracket, 4);
    expectError("[a", bracket, 3);
    expectError("[z-a]", "不正なキャラクタ範囲です", 5);
    expectError("a\\", "\"\\\"の次には文字が必要です。", 3);
    expectError("\\xg", "不正な１６進数コード表記です。", 4);
    expectError("\\200000", "不正な８進数コード表記です。", 8);
    expectError("ab\x82", "不正な２バイト文字コードです。", 3);
}

TEST(Scanner, ErrorPositionIsNotTruncatedInLongExpressions) {
    const std::string expr = std::string(70000, 'a') + "[";
    expectError(expr, "右ブラケット\"]\"が必要です", 70002);
}

}  // namespace
}  // namespace zb
