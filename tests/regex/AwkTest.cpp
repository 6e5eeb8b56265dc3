// Matching and the AWK-style functions: leftmost-longest, anchors under both line separators,
// GSub's progress over empty matches, Split's fields, replacement escapes.

#include "regex/TAWKStr.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"

namespace zb {
namespace {

struct M {
    int start;
    int length;
    bool operator==(const M&) const = default;
};
std::ostream& operator<<(std::ostream& os, const M& m) {
    return os << "(" << m.start << "," << m.length << ")";
}

M match(const std::string& expr, const std::string& text,
        TMatchCORE_LineSeparator sep = mcls_CRLF) {
    TAWKStr awk;
    awk.LineSeparator = sep;
    awk.SetRegExp(expr);
    M m{};
    EXPECT_EQ(awk.Match(text, m.start, m.length), m.start);
    return m;
}

std::pair<std::string, int> gsub(const std::string& expr, const std::string& repl, std::string text,
                                 TMatchCORE_LineSeparator sep = mcls_CRLF) {
    TAWKStr awk;
    awk.LineSeparator = sep;
    awk.SetRegExp(expr);
    const int n = awk.GSub(repl, text);
    return {text, n};
}

std::vector<std::string> split(const std::string& expr, const std::string& text) {
    TAWKStr awk;
    awk.SetRegExp(expr);
    std::vector<std::string> list{"stale"};
    const int n = awk.Split(text, list);
    EXPECT_EQ(n, static_cast<int>(list.size()));
    return list;
}

TEST(Match, LeftmostThenLongest) {
    EXPECT_EQ(match("b+", "abbbcbb"), (M{2, 3}));
    EXPECT_EQ(match("a|ab|abc", "xabcd"), (M{2, 3}));
    EXPECT_EQ(match("z", "abc"), (M{0, 0}));
    EXPECT_EQ(match("x*", "abc"), (M{1, 0}));  // an empty match at the beginning
    EXPECT_EQ(match("x*", ""), (M{1, 0}));
    EXPECT_EQ(match("\x82\xa0+", "a\x82\xa0\x82\xa0z"), (M{2, 4}));
}

TEST(Match, TrailBytesAreNotCharacters) {
    EXPECT_EQ(match("A",
                    "\x83\x41"
                    "A"),
              (M{3, 1}));
    EXPECT_EQ(match(".", "\x83\x41"), (M{1, 2}));
    // A lead byte last in the text stays within the text.
    EXPECT_EQ(match("a.", "a\x82"), (M{1, 2}));
    EXPECT_EQ(match("\\x82", "xy\x82"), (M{3, 1}));
}

TEST(Match, LineTailUnderCRLF) {
    EXPECT_EQ(match("b$", "ab\r\ncd"), (M{2, 1}));
    EXPECT_EQ(match("b$", "ab\ncd"), (M{0, 0}));  // an LF alone is no line end here
    EXPECT_EQ(match("d$", "ab\r\ncd"), (M{6, 1}));
    EXPECT_EQ(match("$", "ab\r\ncd"), (M{3, 0}));
    EXPECT_EQ(match("$", "abc"), (M{4, 0}));
}

TEST(Match, LineTailUnderLF) {
    EXPECT_EQ(match("b$", "ab\ncd", mcls_LF), (M{2, 1}));
    EXPECT_EQ(match("b$", "ab\r\ncd", mcls_LF), (M{0, 0}));
    EXPECT_EQ(match("$", "ab\ncd", mcls_LF), (M{3, 0}));
}

TEST(Match, LineHead) {
    EXPECT_EQ(match("^c", "ab\ncd"), (M{4, 1}));
    EXPECT_EQ(match("^a", "ab\ncd"), (M{1, 1}));
    EXPECT_EQ(match("^$", "ab\r\n\r\n", mcls_CRLF), (M{5, 0}));
    EXPECT_EQ(match("^b|c", "abc"), (M{3, 1}));
    TAWKStr awk;
    awk.SetRegExp("^a");
    const std::string text = "ab\nab";
    const char* s = nullptr;
    const char* e = nullptr;
    awk.MatchEX_Inside(text.c_str(), s, e);  // the start is no line head here
    EXPECT_EQ(s - text.c_str(), 3);
    EXPECT_EQ(e - text.c_str(), 4);
}

TEST(Match, MatchProcFollowsTheAnchors) {
    TAWKStr awk;
    awk.SetRegExp("a");
    EXPECT_EQ(awk.MatchProc, &TMatchCORE::MatchStd);
    awk.SetRegExp("a$");
    EXPECT_EQ(awk.MatchProc, &TMatchCORE::MatchEX);
    EXPECT_THROW(awk.SetRegExp("a("), ERegExpParser);
    EXPECT_EQ(awk.MatchProc, &TMatchCORE::MatchEX);
}

TEST(GSub, SpacesToPlus) {
    EXPECT_EQ(gsub(" ", "+", "red car"), (std::pair<std::string, int>{"red+car", 1}));
    EXPECT_EQ(gsub(" ", "+", "a  b"), (std::pair<std::string, int>{"a++b", 2}));
    EXPECT_EQ(gsub(" ", "+-", "toy model"), (std::pair<std::string, int>{"toy+-model", 1}));
    EXPECT_EQ(gsub(" ", "+", "none"), (std::pair<std::string, int>{"none", 0}));
}

TEST(GSub, EmptyMatchesMakeProgress) {
    EXPECT_EQ(gsub("x*", "R", "axb"), (std::pair<std::string, int>{"RaRRb", 3}));
    EXPECT_EQ(gsub("x*", "R", ""), (std::pair<std::string, int>{"R", 1}));
    EXPECT_EQ(gsub("x*", "R", "\x82\xa0"), (std::pair<std::string, int>{"R\x82\xa0", 1}));
}

TEST(GSub, EmptyMatchNeverFallsBetweenCRAndLF) {
    EXPECT_EQ(gsub("x*", "R", "a\r\nb"), (std::pair<std::string, int>{"RaR\r\nRb", 3}));
    EXPECT_EQ(gsub("x*", "R", "a\r\nb", mcls_LF), (std::pair<std::string, int>{"RaR\rR\nRb", 4}));
}

TEST(GSub, AnchorsAtEveryLine) {
    EXPECT_EQ(gsub("^", ">", "a\nb\nc"), (std::pair<std::string, int>{">a\n>b\n>c", 3}));
    EXPECT_EQ(gsub("$", ";", "a\r\nb"), (std::pair<std::string, int>{"a;\r\nb;", 2}));
}

TEST(GSub, AmpersandAndEscapesInTheReplacement) {
    EXPECT_EQ(gsub("o+", "[&]", "foo boo"), (std::pair<std::string, int>{"f[oo] b[oo]", 2}));
    EXPECT_EQ(gsub("o", "\\&", "o"), (std::pair<std::string, int>{"&", 1}));
    EXPECT_EQ(gsub("o", "\\\\&", "o"), (std::pair<std::string, int>{"&", 1}));
    EXPECT_EQ(gsub("o", "\\n\\t\\x41\\101", "o"), (std::pair<std::string, int>{"\n\tAA", 1}));
    EXPECT_EQ(gsub("o", "\\\\", "o"), (std::pair<std::string, int>{"\\", 1}));
}

TEST(GSub, LoneBackslashRaisesOnlyWhenThereIsSomethingToReplace) {
    TAWKStr awk;
    awk.SetRegExp("o");
    std::string text = "foo";
    EXPECT_THROW(awk.GSub("x\\", text), ERegExpParser);
    EXPECT_EQ(text, "foo");
    std::string other = "bar";
    EXPECT_EQ(awk.GSub("x\\", other), 0);
}

TEST(Sub, ReplacesTheFirstMatchOnly) {
    TAWKStr awk;
    awk.SetRegExp("o+");
    std::string text = "foo boo";
    EXPECT_TRUE(awk.Sub("<&>", text));
    EXPECT_EQ(text, "f<oo> boo");
    std::string none = "xyz";
    EXPECT_FALSE(awk.Sub("!", none));
    EXPECT_EQ(none, "xyz");
    awk.SetRegExp("q*");
    std::string empty = "ab";
    EXPECT_TRUE(awk.Sub("!", empty));  // an empty match inserts the replacement
    EXPECT_EQ(empty, "!ab");
}

TEST(Sub, BadReplacementLeavesTheTextUntouched) {
    TAWKStr awk;
    awk.SetRegExp("oo");
    std::string text = "foo";
    EXPECT_THROW(awk.Sub("\\", text), ERegExpParser);
    EXPECT_EQ(text, "foo");
}

TEST(Split, Fields) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split(",", "a,b,c"), (V{"a", "b", "c"}));
    EXPECT_EQ(split(",", "abc"), (V{"abc"}));
    EXPECT_EQ(split(",", ""), V{});
    EXPECT_EQ(split(",", ",a"), (V{"", "a"}));
    EXPECT_EQ(split(",", "a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(split(",", "a,"), (V{"a", ""}));
    EXPECT_EQ(split("x*", "axb"), (V{"a", "b"}));
    EXPECT_EQ(split("x*", "ab"), (V{"ab"}));
    EXPECT_EQ(split("^a", "aab"), (V{"", "", "b"}));  // "^" matches at every remainder
}

TEST(Split, TheSessionsTwoCuts) {
    using V = std::vector<std::string>;
    const std::string line =
        "<a href=/imgres><img src=/images?q=tbn:42 width=120 height=90> src=/other";
    const V p = split("src=", line);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0], "<a href=/imgres><img ");
    EXPECT_EQ(split(" width", p[1])[0], "/images?q=tbn:42");
    EXPECT_EQ(split("src=", "text src=src=x"), (V{"text ", "", "x"}));
}

TEST(Split, DoubleByteSeparatorAndTrailBytes) {
    using V = std::vector<std::string>;
    // 0x8341 ends in "A": it is no separator "A".
    EXPECT_EQ(split("A",
                    "\x83\x41"
                    "A\x83\x41"),
              (V{"\x83\x41", "\x83\x41"}));
    EXPECT_EQ(split("\x81\x41",
                    "a\x81\x41"
                    "b"),
              (V{"a", "b"}));
}

TEST(Substitute, ProcessEscSeq) {
    EXPECT_EQ(TAWKStr::ProcessEscSeq("a\\tb\\x41\\\\"), "a\tbA\\");
    EXPECT_EQ(TAWKStr::ProcessEscSeq("\x82\xa0\\."), "\x82\xa0.");
    EXPECT_THROW(TAWKStr::ProcessEscSeq("x\\"), ERegExpParser);
}

}  // namespace
}  // namespace zb
