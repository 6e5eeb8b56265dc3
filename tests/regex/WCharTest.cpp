// The character toolkit: reading, stepping back, escapes and quoting over CP932 bytes.

#include "regex/WChar.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"
#include "regex/ERegExpParser.h"

namespace zb {
namespace {

using test::parserError;

TEST(GetWChar, ReadsSingleAndDoubleByteCharacters) {
    const std::string s =
        "a\x82\xa0"
        "b";
    int i = 1;
    EXPECT_EQ(GetWChar(s, i), 'a');
    EXPECT_EQ(i, 2);
    EXPECT_EQ(GetWChar(s, i), 0x82A0);
    EXPECT_EQ(i, 4);
    EXPECT_EQ(GetWChar(s, i), 'b');
    EXPECT_EQ(GetWChar(s, i), 0);
    EXPECT_EQ(i, 5);
}

TEST(GetWChar, OutsideTheStringReturnsZeroAndKeepsThePosition) {
    int i = 0;
    EXPECT_EQ(GetWChar("abc", i), 0);
    EXPECT_EQ(i, 0);
    i = 1;
    EXPECT_EQ(GetWChar("", i), 0);
    EXPECT_EQ(i, 1);
    i = 9;
    EXPECT_EQ(GetWChar("abc", i), 0);
    EXPECT_EQ(i, 9);
}

TEST(GetWChar, ZeroByteReadsAsZeroAndIsPassedOver) {
    const std::string s("a\0b", 3);
    int i = 2;
    EXPECT_EQ(GetWChar(s, i), 0);
    EXPECT_EQ(i, 3);
}

TEST(GetWChar, LeadByteAtTheEndRaisesWithItsPosition) {
    const std::string s = "ab\x82";
    int i = 3;
    const ERegExpParser e = parserError([&] { GetWChar(s, i); });
    EXPECT_EQ(e.Message, "不正な２バイト文字コードです。");
    EXPECT_EQ(e.ErrorPos, 3);
}

TEST(UnGetWChar, StepsBackOverTheCharacterReadLast) {
    const std::string s = "\x82\xa0x\x81\x81\x81\x40y";
    int i = 1;
    GetWChar(s, i);
    UnGetWChar(s, i);
    EXPECT_EQ(i, 1);  // a double-byte first character
    i = 4;
    EXPECT_EQ(GetWChar(s, i), 0x8181);
    UnGetWChar(s, i);
    EXPECT_EQ(i, 4);
    i = 6;
    EXPECT_EQ(GetWChar(s, i), 0x8140);  // trail byte 0x40 after a run of lead bytes
    UnGetWChar(s, i);
    EXPECT_EQ(i, 6);
    i = 8;
    EXPECT_EQ(GetWChar(s, i), 'y');
    UnGetWChar(s, i);
    EXPECT_EQ(i, 8);
    i = 2;
    UnGetWChar(s, i);
    EXPECT_EQ(i, 1);
    i = 1;
    UnGetWChar(s, i);
    EXPECT_EQ(i, 1);
}

TEST(PCharGetWChar, NeverStepsPastTheTerminator) {
    const char* text = "a\x82\xa0\x82";
    const char* p = text;
    EXPECT_EQ(PCharGetWChar(p), 'a');
    EXPECT_EQ(PCharGetWChar(p), 0x82A0);
    EXPECT_EQ(PCharGetWChar(p), 0x82);  // a stray lead byte before the NUL
    EXPECT_EQ(p, text + 4);
    EXPECT_EQ(PCharGetWChar(p), 0);
    EXPECT_EQ(p, text + 4);
}

TEST(WCharToStr, GivesTheBytesOfACode) {
    EXPECT_EQ(WCharToStr(0x82A0), "\x82\xa0");
    EXPECT_EQ(WCharToStr(0x41), "A");
    EXPECT_EQ(WCharToStr(WCHAR_LINE_HEAD), "\xfd");
    EXPECT_EQ(WCharToStr(WCHAR_LINE_TAIL), "\xfe");
}

// Reads an escape the way the scanner does after a backslash at position 1.
std::pair<WChar_t, int> quoted(const std::string& s) {
    int i = 2;
    const WChar_t ch = GetQuotedWChar(s, i);
    return {ch, i};
}

TEST(GetQuotedWChar, AppliesTheEscapes) {
    EXPECT_EQ(quoted("\\b").first, 8);
    EXPECT_EQ(quoted("\\r").first, 13);
    EXPECT_EQ(quoted("\\n").first, 10);
    EXPECT_EQ(quoted("\\t").first, 9);
    EXPECT_EQ(quoted("\\x41").first, 'A');
    EXPECT_EQ(quoted("\\101").first, 'A');
    EXPECT_EQ(quoted("\\8").first, '8');
    EXPECT_EQ(quoted("\\.").first, '.');
    EXPECT_EQ(quoted("\\\\").first, '\\');
    EXPECT_EQ(quoted("\\\x82\xa0").first, 0x82A0);
    EXPECT_EQ(quoted("\\0").first, 0);
    EXPECT_EQ(quoted("\\x0").first, 0);
}

TEST(GetQuotedWChar, NumbersStopAtTheirDigitLimitAndPutBackTheRest) {
    auto [oct, i1] = quoted("\\1234567");
    EXPECT_EQ(oct, 42798);  // octal 123456
    EXPECT_EQ(i1, 8);       // "7" is read next
    auto [hex, i2] = quoted("\\x12345");
    EXPECT_EQ(hex, 0x1234);
    EXPECT_EQ(i2, 7);
    auto [stop, i3] = quoted("\\x4g");
    EXPECT_EQ(stop, 4);
    EXPECT_EQ(i3, 4);
}

TEST(GetQuotedWChar, Errors) {
    auto e1 = parserError([] { quoted("\\"); });
    EXPECT_EQ(e1.Message, "\"\\\"の次には文字が必要です。");
    EXPECT_EQ(e1.ErrorPos, 2);
    auto e2 = parserError([] { quoted("\\xg"); });
    EXPECT_EQ(e2.Message, "不正な１６進数コード表記です。");
    auto e3 = parserError([] { quoted("\\200000"); });
    EXPECT_EQ(e3.Message, "不正な８進数コード表記です。");
    auto e4 = parserError([] { quoted("\\x"); });
    EXPECT_EQ(e4.Message, "不正な１６進数コード表記です。");
}

TEST(WCharGetToken, CollectsUpToTheDelimiter) {
    const std::string s = "ab\x82\xa0,cd";
    int i = 1;
    EXPECT_EQ(WCharGetToken(s, i, ','), "ab\x82\xa0");
    EXPECT_EQ(i, 6);
    EXPECT_EQ(WCharGetToken(s, i, ','), "cd");
    EXPECT_EQ(WCharGetToken(s, i, ','), "");
}

TEST(QuoteMetaWChar, EscapesEveryMetacharacterAndOnlyThose) {
    EXPECT_EQ(QuoteMetaWChar("a.b(c)"), "a\\.b\\(c\\)");
    EXPECT_EQ(QuoteMetaWChar("^(|)+*?.[]$\\"), "\\^\\(\\|\\)\\+\\*\\?\\.\\[\\]\\$\\\\");
    // 0x815C has a trail byte equal to the backslash: it is one character, not quoted.
    EXPECT_EQ(QuoteMetaWChar("\x81\x5cx"), "\x81\x5cx");
}

TEST(DigitValues, HexAndOctal) {
    EXPECT_EQ(HexWCharToInt('0'), 0);
    EXPECT_EQ(HexWCharToInt('f'), 15);
    EXPECT_EQ(HexWCharToInt('F'), 15);
    EXPECT_EQ(HexWCharToInt('g'), -1);
    EXPECT_EQ(OctWCharToInt('7'), 7);
    EXPECT_EQ(OctWCharToInt('8'), -1);
}

}  // namespace
}  // namespace zb
