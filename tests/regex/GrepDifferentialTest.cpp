// The fast scan against the plain loops, and line selection against glibc's regexec.

#include <gtest/gtest.h>
#include <regex.h>

#include <clocale>
#include <cstdlib>
#include <random>

#include "TempFile.h"
#include "regex/ProcessMessages.h"
#include "regex/TGrep.h"

namespace zb {
namespace {

using test::TempFile;

// What a search did: every reported line and every time it let messages be processed.
std::vector<std::string> events(TGrep& g, const std::string& path, TGrepGrepProc proc) {
    std::vector<std::string> out;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
        out.push_back(std::to_string(info.LineNo) + ":" + info.Line);
    };
    const ProcessMessagesHook previous = SetProcessMessagesHook([&] { out.push_back("pump"); });
    (g.*proc)(path);
    SetProcessMessagesHook(previous);
    return out;
}

class Random {
public:
    explicit Random(unsigned seed) : rng_(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // Text with every awkward thing a file can hold: all three line ends, NUL bytes, lead bytes
    // before line ends, double-byte characters whose trail byte is a letter or a lead byte.
    std::string text(std::size_t size) {
        static const char* const pieces[] = {
            "a",        "b",        "ab",       "src=",     "/images?q",
            " ",        "\r",       "\n",       "\r\n",     std::string("\0", 1).c_str(),
            "\x82\xa0", "\x83\x41", "\x82\x61", "\x81\x81", "\x82",
            "\x82\n",   "\x82\r\n", "\x8c\x9f", "\xe0\x40", "nav_next.gif",
            "x"};
        std::string t;
        while (t.size() < size) {
            const int k = pick(21);
            if (k == 9) {
                t += '\0';
            } else {
                t += pieces[k];
            }
        }
        return t;
    }

    std::string expression() {
        static const char* const atoms[] = {
            "a",        "b",        "A", "src=", "\\?",      ".",        "[ab]",  "[^a]",
            "\x82\xa0", "\x83\x41", "x", " ",    "\x82\x61", "\x8c\x9f", "(a|b)", "\\x81\\x81"};
        std::string e = pick(6) == 0 ? "^" : "";
        const int n = 1 + pick(4);
        for (int i = 0; i < n; ++i) {
            e += atoms[pick(16)];
            if (pick(5) == 0) e += pick(2) ? "*" : "+";
        }
        if (pick(6) == 0) e += "$";
        return e;
    }

private:
    std::mt19937 rng_;
};

TEST(GrepDifferential, FastScanReportsWhatThePlainLoopsReport) {
    Random r(
        static_cast<unsigned>(std::getenv("ZB_SEED") ? std::atoi(std::getenv("ZB_SEED")) : 4242));
    std::size_t skipped = 0;
    const int rounds = std::getenv("ZB_ROUNDS") ? std::atoi(std::getenv("ZB_ROUNDS")) : 400;
    for (int round = 0; round < rounds; ++round) {
        // Now and then a text over several buffer fills, and a few big enough for the pages of
        // their mapping to be mapped ahead and given back.
        const std::size_t size = round % 100 == 50 ? 2'500'000
                                 : round % 25 == 0
                                     ? 250'000 + static_cast<std::size_t>(r.pick(5000))
                                     : static_cast<std::size_t>(r.pick(400));
        TempFile file(r.text(size));
        const std::string expr = r.expression();
        TGrep g;
        g.SetRegExp(expr);
        for (TGrepGrepProc proc : {&TGrep::GrepByRegExp, g.GrepProc}) {
            g.UseFastScan = false;
            const auto plain = events(g, file.path(), proc);
            g.UseFastScan = true;
            const auto fast = events(g, file.path(), proc);
            ASSERT_EQ(plain, fast) << "expression " << expr << " round " << round;
            skipped += g.BytesSkipped;
        }
    }
    EXPECT_GT(skipped, 1'000'000u);  // the fast scan did skip
}

TEST(GrepDifferential, LiteralsThatAreAlsoTrailBytesAcrossFillBoundaries) {
    // "A" is the trail byte of 0x8341: a run of such characters across every fill boundary.
    std::string text;
    for (int i = 0; i < 160'000; ++i)
        text += (i % 7 == 0) ? "\x83\x41\n" : "\x83\x41";
    text += "A\n";
    TempFile file(text);
    TGrep g;
    g.SetRegExp("A");
    g.UseFastScan = false;
    const auto plain = events(g, file.path(), g.GrepProc);
    g.UseFastScan = true;
    EXPECT_EQ(events(g, file.path(), g.GrepProc), plain);
    EXPECT_GT(g.BytesSkipped, 100'000u);
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(plain.back(), std::to_string(160'000 / 7 + 2) + ":A");
}

TEST(GrepDifferential, OverlappingLongAttemptsReportTheSameLines) {
    // Every "a" starts an attempt that runs through ".*" to the end of its long line; the
    // remembered failures must not change which lines are reported, across fills too.
    std::string text;
    for (int line = 0; line < 7; ++line) {
        // Dense starts in short lines; sparse ones in a last line longer than a buffer fill.
        const int chars = line < 6 ? 3'000 + line * 100 : 60'000;
        const int every = line < 6 ? 5 : 997;
        for (int i = 0; i < chars; ++i)
            text += (i % every == 0) ? "a" : "\x82\xa0";
        if (line % 2 == 1) text += "b";
        text += (line % 3 == 0) ? "\r\n" : "\n";
    }
    TempFile file(text);
    for (const char* expr : {"a.*b", "a[^c]*b$", "a(\x82\xa0)*b", "a.*\n"}) {
        TGrep g;
        g.SetRegExp(expr);
        g.UseFastScan = false;
        const auto plain = events(g, file.path(), g.GrepProc);
        g.UseFastScan = true;
        EXPECT_EQ(events(g, file.path(), g.GrepProc), plain) << expr;
    }
}

// Lines of a text the simple way: CR LF, LF and lone CR end lines.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(current);
            current.clear();
        } else {
            current += text[i];
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

TEST(GrepDifferential, LineSelectionAgreesWithRegexecInAShiftJISLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "ja_JP.SJIS"), nullptr)
        << "the ja_JP.SJIS locale is missing (scripts/install-deps.sh creates it)";
    Random r(99);
    static const char* const chars[] = {"a",        "b",        "c", "A",  "\x83\x41",
                                        "\x82\x61", "\x82\xa0", " ", "\n", "\r\n"};
    static const char* const atoms[] = {"a", "b", "c", "A", ".", "[ab]", "[^b]", "(a|c)"};
    int reported = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int len = r.pick(300);
        for (int i = 0; i < len; ++i)
            text += chars[r.pick(10)];
        // Begins with a character, so it never matches the empty string.
        std::string expr = std::string(1, "abcA"[r.pick(4)]);
        for (int i = r.pick(4); i > 0; --i) {
            expr += atoms[r.pick(8)];
            if (r.pick(4) == 0) expr += "*";
        }
        regex_t oracle;
        ASSERT_EQ(regcomp(&oracle, expr.c_str(), REG_EXTENDED | REG_NOSUB), 0) << expr;
        std::vector<std::string> expected;
        const auto lines = splitLines(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (regexec(&oracle, lines[i].c_str(), 0, nullptr, 0) == 0) {
                expected.push_back(std::to_string(i + 1) + ":" + lines[i]);
            }
        }
        regfree(&oracle);

        TempFile file(text);
        TGrep g;
        g.SetRegExp(expr);
        std::vector<std::string> got;
        g.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
            got.push_back(std::to_string(info.LineNo) + ":" + info.Line);
        };
        g.Grep(file.path());
        ASSERT_EQ(got, expected) << "expression " << expr << " round " << round;
        reported += static_cast<int>(got.size());
    }
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_GT(reported, 100);
}

}  // namespace
}  // namespace zb
