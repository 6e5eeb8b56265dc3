// Match against glibc's regexec (POSIX leftmost-longest) in a Shift-JIS locale, on the syntax
// both share, for random expressions and texts with double-byte characters.

#include <gtest/gtest.h>
#include <regex.h>

#include <clocale>
#include <random>

#include "regex/TAWKStr.h"

namespace zb {
namespace {

TEST(AwkDifferential, MatchAgreesWithRegexec) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "ja_JP.SJIS"), nullptr)
        << "the ja_JP.SJIS locale is missing (scripts/install-deps.sh creates it)";
    std::mt19937 rng(2026);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const char* const chars[] = {"a",        "b",        "c", "A", "\x83\x41",
                                        "\x82\x61", "\x82\xa0", " ", "\n"};
    static const char* const atoms[] = {"a",    "b",    "c",      "A",        ".",
                                        "[ab]", "[^b]", "(a|bc)", "\x82\xa0", "(b|)"};
    TAWKStr awk;
    awk.LineSeparator = mcls_LF;
    int matches = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int i = pick(30); i > 0; --i)
            text += chars[pick(9)];
        std::string expr = pick(5) == 0 ? "^" : "";
        for (int i = 1 + pick(4); i > 0; --i) {
            expr += atoms[pick(10)];
            const int op = pick(6);
            if (op == 0) expr += "*";
            if (op == 1) expr += "+";
            if (op == 2) expr += "?";
        }
        if (pick(5) == 0) expr += "$";

        regex_t oracle;
        ASSERT_EQ(regcomp(&oracle, expr.c_str(), REG_EXTENDED | REG_NEWLINE), 0) << expr;
        regmatch_t m{};
        const bool found = regexec(&oracle, text.c_str(), 1, &m, 0) == 0;
        regfree(&oracle);

        awk.SetRegExp(expr);
        int start = 0;
        int length = 0;
        awk.Match(text, start, length);
        if (found) {
            ++matches;
            ASSERT_EQ(start, m.rm_so + 1) << "expression " << expr << " text " << text;
            ASSERT_EQ(length, m.rm_eo - m.rm_so) << "expression " << expr << " text " << text;
        } else {
            ASSERT_EQ(start, 0) << "expression " << expr << " text " << text;
        }
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_GT(matches, 1000);
}

TEST(AwkDifferential, EmptyTextAgreesWithRegexec) {
    // An empty text gives no start to try; an expression that accepts the empty string matches
    // there all the same, whether or not it also has line anchors.
    for (const char* expr : {"^a|b*", "b*|^a", "(^a|b*)", "a$|b?", "^a|$", "^$", "^(a|b)*", "^a",
                             "a$", "^a|b", "x*"}) {
        regex_t oracle;
        ASSERT_EQ(regcomp(&oracle, expr, REG_EXTENDED | REG_NEWLINE), 0) << expr;
        regmatch_t m{};
        const bool found = regexec(&oracle, "", 1, &m, 0) == 0;
        regfree(&oracle);

        TAWKStr awk;
        awk.SetRegExp(expr);
        int start = 0;
        int length = 0;
        awk.Match("", start, length);
        EXPECT_EQ(start, found ? 1 : 0) << expr;
        EXPECT_EQ(length, 0) << expr;
        std::string text;
        EXPECT_EQ(awk.GSub("R", text), found ? 1 : 0) << expr;
        EXPECT_EQ(text, found ? "R" : "") << expr;
    }
}

}  // namespace
}  // namespace zb
