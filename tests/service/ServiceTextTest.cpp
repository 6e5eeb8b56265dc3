// Double-byte-aware text helpers: case folding, word search, escapes.

#include <gtest/gtest.h>

#include "common/Cp932.h"
#include "service/ServiceText.h"

namespace zb {
namespace {

TEST(ServiceText, FoldingLeavesTrailBytesAlone) {
    // ア is 0x83 0x41: its trail byte is 'A' and must not become 'a' (0x83 0x61 is another
    // character).
    const std::string a = Utf8ToCp932("アCat");
    EXPECT_EQ(FoldAsciiCase(a), Utf8ToCp932("ア") + "cat");
    EXPECT_EQ(FoldAsciiCase("MiXeD 123"), "mixed 123");
}

TEST(ServiceText, WordsMatchOnCharacterBoundariesOnly) {
    // 表 is 0x95 0x5C: a search for a backslash must not find its trail byte, and a search for
    // the lead byte alone must not find its first half.
    const std::string hyo = Utf8ToCp932("表紙");
    EXPECT_FALSE(ContainsWord(hyo, "\\"));
    EXPECT_FALSE(ContainsWord(hyo, "\x95"));
    EXPECT_TRUE(ContainsWord(hyo, Utf8ToCp932("紙")));
    EXPECT_TRUE(ContainsWord(Utf8ToCp932("赤の表紙"), Utf8ToCp932("の表")));
    // ソ is 0x83 0x5C followed by ASCII: the match may start right after it.
    EXPECT_TRUE(ContainsWord(Utf8ToCp932("ソ") + "ft", "ft"));
    EXPECT_FALSE(ContainsWord("abc", ""));
    EXPECT_FALSE(ContainsWord("ab", "abc"));
}

TEST(ServiceText, PercentDecodingKeepsWhatIsNotAnEscape) {
    EXPECT_EQ(PercentDecode("%93%fa%96%7B"), Utf8ToCp932("日本"));
    EXPECT_EQ(PercentDecode("a+b%2B"), "a+b+");
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%zz%41"), "%zzA");
    EXPECT_EQ(PercentDecode(std::string("%00", 3)), std::string(1, '\0'));
}

TEST(ServiceText, PercentEncodingRoundTrips) {
    const std::string raw = Utf8ToCp932("猫 & dog_1.gif=%");
    const std::string encoded = PercentEncode(raw);
    EXPECT_EQ(encoded.find_first_not_of(
                  "%0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
              std::string::npos);
    EXPECT_EQ(PercentDecode(encoded), raw);
}

TEST(ServiceText, EchoedTextCannotFormMarkupOrMarkers) {
    const std::string echo = EscapeEcho("<b>\"x\"</b> src=/images?q nav_next.gif & 'y'");
    for (const char* forbidden : {"<", ">", "\"", "'", "src=", "nav_next", ".gif"}) {
        EXPECT_EQ(echo.find(forbidden), std::string::npos) << forbidden;
    }
    EXPECT_NE(echo.find("&amp;"), std::string::npos);
    // Double-byte characters pass whole, even when the trail byte is '_' or '=' lookalike.
    const std::string kana = Utf8ToCp932("ソ_表");
    EXPECT_EQ(EscapeEcho(kana), Utf8ToCp932("ソ") + "&#95;" + Utf8ToCp932("表"));
}

TEST(ServiceText, EchoReplacesBytesThatAreNoCharacter) {
    // A lone lead byte would swallow the next byte of the page in a double-byte reader; control
    // bytes do not belong on a page.
    EXPECT_EQ(EscapeEcho("a\x93<"), "a&#65533;&lt;");
    EXPECT_EQ(EscapeEcho("\x93"), "&#65533;");
    EXPECT_EQ(EscapeEcho("\x1b[1m"), "&#65533;[1m");
    EXPECT_EQ(EscapeEcho("\xFF"), "&#65533;");
    const std::string halfWidth = Utf8ToCp932("ｶﾒﾗ");
    EXPECT_EQ(EscapeEcho(halfWidth), halfWidth);
}

}  // namespace
}  // namespace zb
