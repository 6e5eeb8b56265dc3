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

namespace zb {
namespace {

// A file with given bytes, removed at the end of the test.
class Bytes {
public:
    explicit Bytes(const std::string& content) {
        char name[] = "/tmp/zb-tool-in-XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        if (!content.empty() && ::write(fd, content.data(), content.size()) < 0) path.clear();
        ::close(fd);
    }
    ~Bytes() { std::remove(path.c_str()); }
    std::string path;
};

TEST(RegexToolMatch, PrintsOneBasedStartAndLength) {
    Bytes f("red car\r\nx");
    EXPECT_EQ(regex({"match", "car", f.path}).out, "5 3\n");
    EXPECT_EQ(regex({"match", "zzz", f.path}).out, "0 0\n");
    EXPECT_EQ(regex({"match", "car$", f.path}).out, "5 3\n");
    EXPECT_EQ(regex({"match", "--lf", "car$", f.path}).out, "0 0\n");
    Bytes nul(std::string("ab\0cd", 5));  // the text ends at its first NUL
    EXPECT_EQ(regex({"match", "cd", nul.path}).out, "0 0\n");
}

TEST(RegexToolSubstitute, ChangedTextOnStdoutCountOnStderr) {
    Bytes f("a b  c\n");
    const auto g = regex({"gsub", " ", "+", f.path});
    EXPECT_EQ(g.status, 0);
    EXPECT_EQ(g.out, "a+b++c\n");
    EXPECT_EQ(g.err, "replacements=3\n");
    const auto s = regex({"sub", "b", "[&]", f.path});
    EXPECT_EQ(s.out, "a [b]  c\n");
    EXPECT_EQ(s.err, "replacements=1\n");
    const auto utf8 = regex({"gsub", "--utf8", "b", "画像", f.path});
    EXPECT_EQ(utf8.out, "a \x89\xe6\x91\x9c  c\n");
}

TEST(RegexToolSplit, FieldsWithTheirByteLengths) {
    Bytes f("x src=/a width=1 src=/b");
    const auto r = regex({"split", "src=", f.path});
    EXPECT_EQ(r.out, "2:x \n11:/a width=1 \n2:/b\n");
    EXPECT_EQ(r.err, "fields=3\n");
}

TEST(RegexToolGrep, LinesNumbersCountsAndExitStatus) {
    Bytes a("one src=/images?q\r\ntwo\nthree src=/images?q");
    Bytes b("nothing here\n");
    const auto lines = regex({"grep", "src=/images\\?q", a.path});
    EXPECT_EQ(lines.status, 0);
    EXPECT_EQ(lines.out, "one src=/images?q\nthree src=/images?q\n");
    EXPECT_EQ(regex({"grep", "-n", "t", a.path}).out, "2:two\n3:three src=/images?q\n");
    EXPECT_EQ(regex({"grep", "-c", "src=", a.path}).out, "2\n");
    const auto none = regex({"grep", "src=", b.path});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    const auto several = regex({"grep", "-c", "o", a.path, b.path});
    EXPECT_EQ(several.out, a.path + ":2\n" + b.path + ":1\n");
    EXPECT_EQ(regex({"grep", "-n", "two", a.path, b.path}).out, a.path + ":2:two\n");
}

TEST(RegexToolGrep, MissingFileIsAnErrorButTheOthersAreSearched) {
    Bytes a("hit\n");
    const auto r = regex({"grep", "hit", "/nonexistent/zb-x", a.path});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, a.path + ":hit\n");
    EXPECT_EQ(r.err, "zunbarra-regex: /nonexistent/zb-x: No such file or directory\n");
    EXPECT_EQ(regex({"grep", "(", a.path}).status, 2);
}

}  // namespace
}  // namespace zb
