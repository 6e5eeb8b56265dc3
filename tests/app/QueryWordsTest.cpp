#include <gtest/gtest.h>

#include <string>

#include "app/QueryWords.h"

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
        const bool escaped = b == '&' || b == '#' || b == '%' || b == '+' || b < 0x20 || b == 0x7F;
        if (escaped) {
            ASSERT_EQ(out.size(), 5u) << b;
            EXPECT_EQ(out[1], '%');
            EXPECT_EQ(HexValue(out[2]) * 16 + HexValue(out[3]), b);
        } else {
            EXPECT_EQ(out, "x" + in + "y") << b;
        }
    }
}

}  // namespace
}  // namespace zb::test
