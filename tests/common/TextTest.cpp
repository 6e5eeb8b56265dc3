// Integer reading and ASCII letter case.

#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/TextCase.h"
#include "common/TextNumbers.h"

namespace zb::test {
namespace {

TEST(StrToInt, DecimalWithBlanksAndSign) {
    EXPECT_EQ(StrToInt("8080"), 8080);
    EXPECT_EQ(StrToInt("  +12"), 12);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(StrToInt, HexadecimalAfterDollarOrZeroX) {
    EXPECT_EQ(StrToInt("$1f"), 31);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("-$10"), -16);
    EXPECT_EQ(StrToInt("0xFFFFFFFF"), -1);
}

TEST(StrToInt, AnythingElseRaises) {
    for (const char* text : {"", " ", "-", "12 ", "1a", "$", "0x", "2147483648", "$100000000"}) {
        EXPECT_THROW(StrToInt(text), Exception) << '"' << text << '"';
    }
    try {
        StrToInt("abc");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "'abc' は整数ではありません");
    }
}

TEST(TextCase, ComparesIgnoringAsciiCase) {
    EXPECT_EQ(CompareText("Content-Length", "content-length"), 0);
    EXPECT_LT(CompareText("alpha", "Beta"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("abc", "ABCD"), 0);
    EXPECT_GT(CompareText("abc", ""), 0);
}

TEST(TextCase, ChangesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCase("Http://a-Z\x82\xA0"), "HTTP://A-Z\x82\xA0");
    EXPECT_EQ(LowerCase("HTTP://A-z"), "http://a-z");
}

}  // namespace
}  // namespace zb::test
