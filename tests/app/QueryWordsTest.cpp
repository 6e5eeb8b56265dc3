#include <gtest/gtest.h>

#include <string>

#include "app/QueryWords.h"
#include "app/SearchOutcome.h"

namespace zb::test {
namespace {

int HexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

// Every byte value: the ones that would change the query come out as %XX, which decodes to the
// byte; every other byte is untouched.
TEST(QueryWords, EscapesExactlyTheBytesThatCutAQuery) {
    for (int b = 0; b < 256; ++b) {
        const std::string in(1, static_cast<char>(b));
        const std::string out = EscapeQueryBytes("x" + in + "y");
        const bool escaped = b == '&' || b == '#' || b == '%' || b < 0x20 || b == 0x7F;
        if (escaped) {
            ASSERT_EQ(out.size(), 5u) << b;
            EXPECT_EQ(out[1], '%');
            EXPECT_EQ(HexValue(out[2]) * 16 + HexValue(out[3]), b);
        } else {
            EXPECT_EQ(out, "x" + in + "y") << b;
        }
    }
}

TEST(QueryWords, DoubleByteCharactersPassAsTyped) {
    // 表 and ソ end in a backslash byte, 能 and 十 too; 〜 and ポ end in bytes above 0x7F.
    const std::string words = "\x95\x5c \x83\x5c\x94\x5c\x8f\x5c \x81\x60\x83\x7c";
    EXPECT_EQ(EscapeQueryBytes(words), words);
    EXPECT_EQ(EscapeQueryBytes(""), "");
    EXPECT_EQ(EscapeQueryBytes("a+b=c?d"), "a+b=c?d");
}

TEST(SearchOutcome, OnlyTheMissingNextPageIsANormalEnd) {
    SearchOutcome normal;
    normal.End = SearchEnd::NoNextPage;
    for (const SearchEnd end : {SearchEnd::None, SearchEnd::NoWords, SearchEnd::FetchError,
                                SearchEnd::ErrorStatus, SearchEnd::ScanError, SearchEnd::Stopped}) {
        SearchOutcome o;
        o.End = end;
        EXPECT_FALSE(o.Normal());
        EXPECT_NE(DescribeOutcome(o), DescribeOutcome(normal));
    }
    EXPECT_TRUE(normal.Normal());
}

}  // namespace
}  // namespace zb::test
