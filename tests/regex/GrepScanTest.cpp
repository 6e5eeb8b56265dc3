// The fast scan over files of many fills, against the plain loops: sparse matching lines among
// long stretches it passes in bulk, with line ends of every kind, NUL bytes and double-byte
// characters in between.

#include <gtest/gtest.h>

#include <random>

#include "TempFile.h"
#include "regex/GrepFinders.h"
#include "regex/ProcessMessages.h"
#include "regex/TGrep.h"

namespace zb {
namespace {

using test::TempFile;

std::vector<std::string> events(TGrep& g, const std::string& path) {
    std::vector<std::string> out;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
        out.push_back(std::to_string(info.LineNo) + ":" + info.Line);
    };
    const ProcessMessagesHook previous = SetProcessMessagesHook([&] { out.push_back("pump"); });
    g.Grep(path);
    SetProcessMessagesHook(previous);
    return out;
}

TEST(GrepScan, SparseMatchesInAFileOfManyFills) {
    // Filler lines, and now and then a line that matches one of the expressions or nearly does.
    // In "Q\x82\r\rZ" an attempt from Q reads the first CR as a trail byte and the second as a
    // lone CR, which it rewrites: the bulk moves must count the line ends as they are then.
    static const char* const filler[] = {"the red car\r\n",        "photo page\n", "x\ry\r",
                                         "\x82\xa0\x83\x41 z\r\n", "a\0b\n",       "\x82\r\r\n",
                                         "nav next gif\n"};
    static const char* const rare[] = {"<img src=/images?q=tbn:1>\r\n",
                                       "<img src=/nav_next.gif>\n",
                                       "Q and then Z\r\n",
                                       "Q\x82\r\rZ\n",
                                       "\x8c\x9f\x8d\xf5 ... \x89\xe6\x91\x9c\r\n",
                                       "\x8c\x9f\x8d\xf5 only\r\n",
                                       "Rx then Z\r",
                                       "imgres?imgurl\n"};
    std::mt19937 rng(5);
    std::string text;
    while (text.size() < 7 * static_cast<std::size_t>(TTxtFile::BufferSize)) {
        if (rng() % 300 == 0) {
            text += rare[rng() % 8];
        } else {
            const char* piece = filler[rng() % 7];
            text.append(piece, piece[0] == 'a' ? 5 : std::char_traits<char>::length(piece));
        }
    }
    TempFile file(text);
    for (const char* expr : {"src=/images\\?q", "nav_next.gif", "Q.*Z", "[QR]x?.*Z",
                             "\x8c\x9f\x8d\xf5.*\x89\xe6\x91\x9c", "imgres\\?"}) {
        TGrep g;
        g.SetRegExp(expr);
        g.UseFastScan = false;
        const auto plain = events(g, file.path());
        g.UseFastScan = true;
        EXPECT_EQ(events(g, file.path()), plain) << expr;
        EXPECT_GT(g.BytesSkipped, text.size() / 2) << expr;
    }
}

// A literal's occurrence must begin before the end of the range searched, also when the byte
// the finder looks for first is not the literal's last ("q" is rarer than "a").
TEST(GrepScan, LiteralFinderKeepsOccurrencesInsideItsRange) {
    const std::string text = "xxxqaa" + std::string(8, ' ');
    const LiteralFinder finder("qaa");
    const char* from = text.data();
    EXPECT_EQ(finder.Find(from, from + 3), nullptr);
    EXPECT_EQ(finder.Find(from, from + 4), from + 3);
}

}  // namespace
}  // namespace zb
