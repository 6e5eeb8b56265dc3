// zunbarra-regex from the outside: output format, byte handling and exit status.

#include <gtest/gtest.h>

#include "ToolRunner.h"

namespace zb {
namespace {

test::ToolResult regex(const std::vector<std::string>& args) {
    return test::runTool(ZB_REGEX_TOOL, args);
}

TEST(RegexToolCompile, PrintsTheCompiledExpression) {
    const auto r = regex({"compile", "src=/images\\?q"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "processed=src=/images\\?q\nstates=14\nsimple=yes\nliteral=src=/images?q\n"
              "line-head=no\nline-tail=no\n");
    EXPECT_EQ(r.err, "");
}

TEST(RegexToolCompile, NotSimpleHasNoLiteralLine) {
    const auto r = regex({"compile", "nav_next.gif"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "processed=nav_next.gif\nstates=13\nsimple=no\nline-head=no\nline-tail=no\n");
}

TEST(RegexToolCompile, LineMarkersAndAnchors) {
    EXPECT_EQ(regex({"compile", "^ab$"}).out,
              "processed=^ab$\nstates=5\nsimple=yes\nliteral=\xfd"
              "ab\xfe\n"
              "line-head=yes\nline-tail=yes\n");
    EXPECT_EQ(regex({"compile", "--line-markers", "lf", "^ab$"}).out,
              "processed=^ab$\nstates=5\nsimple=yes\nliteral=\nab\n\nline-head=yes\n"
              "line-tail=yes\n");
}

TEST(RegexToolCompile, FuzzyAndUtf8) {
    const auto raw = regex({"compile", "--fuzzy", "\x83\x94\x83\x40"});  // ヴァ in CP932
    const auto utf8 = regex({"compile", "--utf8", "--fuzzy", "ヴァ"});
    EXPECT_EQ(raw.status, 0);
    EXPECT_EQ(raw.out, utf8.out);
    EXPECT_NE(raw.out.find("processed=(\x82\xce|"), std::string::npos);  // starts with ば
}

TEST(RegexToolCompile, SyntaxErrorExitsTwoWithPositionAndMessage) {
    const auto r = regex({"compile", "(ab"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error: position 4: 右(閉じ)括弧が必要です\n");
}

TEST(RegexToolCompile, UsageErrors) {
    EXPECT_EQ(regex({}).status, 2);
    EXPECT_EQ(regex({"compile"}).status, 2);
    EXPECT_EQ(regex({"compile", "--bogus", "a"}).status, 2);
    EXPECT_EQ(regex({"frobnicate", "a"}).status, 2);
    const auto bad = regex({"compile", "--utf8", "\xff"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("error: "), std::string::npos);
}

TEST(RegexToolCompile, PatternStartingWithADashAfterDoubleDash) {
    const auto r = regex({"compile", "--", "-a"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 13), "processed=-a\n");
}

}  // namespace
}  // namespace zb
