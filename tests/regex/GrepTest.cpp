// The line search: reported lines and numbers, anchors, strategies, events, cancel and errors.

#include "regex/TGrep.h"

#include <gtest/gtest.h>

#include "TempFile.h"
#include "regex/ERegExpParser.h"
#include "regex/GrepErrors.h"
#include "regex/ProcessMessages.h"

namespace zb {
namespace {

using test::TempFile;
using Lines = std::vector<std::pair<int, std::string>>;

Lines grep(const std::string& expr, const std::string& bytes, bool fast = true,
           TGrepGrepProc proc = nullptr) {
    TempFile file(bytes);
    TGrep g;
    g.SetRegExp(expr);
    g.UseFastScan = fast;
    Lines out;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
        out.emplace_back(info.LineNo, info.Line);
    };
    if (proc) {
        (g.*proc)(file.path());
    } else {
        g.Grep(file.path());
    }
    return out;
}

TEST(Grep, ReportsEachMatchingLineOnceInFileOrder) {
    const std::string text = "a src=/images?q b src=/images?q\r\nnone\nsrc=/images?q";
    EXPECT_EQ(grep("src=/images\\?q", text),
              (Lines{{1, "a src=/images?q b src=/images?q"}, {3, "src=/images?q"}}));
    EXPECT_EQ(grep("nav_next.gif", "x\nnav_next.gif\nnav_nextXgif\nnav_next.gi"),
              (Lines{{2, "nav_next.gif"}, {3, "nav_nextXgif"}}));
}

TEST(Grep, SimpleExpressionsAreSearchedLiterallyOthersWithTheAutomaton) {
    TGrep g;
    g.SetRegExp("src=/images\\?q");
    EXPECT_EQ(g.GrepProc, &TGrep::GrepByStr);
    g.SetRegExp("nav_next.gif");
    EXPECT_EQ(g.GrepProc, &TGrep::GrepByRegExp);
    EXPECT_THROW(g.SetRegExp("(x"), ERegExpParser);
    EXPECT_EQ(g.GrepProc, &TGrep::GrepByRegExp);  // left bound as before
}

TEST(Grep, AnchorsMatchTheReadersLineFeeds) {
    EXPECT_EQ(grep("^", "a\r\nb\n\nc"), (Lines{{1, "a"}, {2, "b"}, {3, ""}, {4, "c"}}));
    EXPECT_EQ(grep("^ab", "ab\nxab\nab"), (Lines{{1, "ab"}, {3, "ab"}}));
    EXPECT_EQ(grep("ab$", "ab\r\nabx\nab"), (Lines{{1, "ab"}, {3, "ab"}}));
    EXPECT_EQ(grep("^ab$", "ab\nab \n ab\nab"), (Lines{{1, "ab"}, {4, "ab"}}));
}

TEST(Grep, AMatchConsumesAtLeastOneCharacter) {
    EXPECT_EQ(grep("a*", "xx\nab\n\n"), (Lines{{2, "ab"}}));
}

TEST(Grep, LineEndsNulsAndLongLines) {
    EXPECT_EQ(grep("x", "x1\rx2\r\nx3\nx4"), (Lines{{1, "x1"}, {2, "x2"}, {3, "x3"}, {4, "x4"}}));
    EXPECT_EQ(grep("a b", std::string("a\0b\n", 4)), (Lines{{1, "a b"}}));
    std::string longLine(TTxtFile::BufferSize * 2 + 3, 'z');
    longLine[TTxtFile::BufferSize + 7] = 'Q';
    EXPECT_EQ(grep("Q", "1\n" + longLine + "\n3\nQ"), (Lines{{2, longLine}, {4, "Q"}}));
    EXPECT_EQ(grep("Q.", "1\n" + longLine + "\n3\nQ"), (Lines{{2, longLine}}));
}

TEST(Grep, DoubleByteTrailBytesAreNotCharacters) {
    // 0x8341 (katakana A) has the trail byte "A".
    EXPECT_EQ(grep("A", "\x83\x41\nA\n"), (Lines{{2, "A"}}));
    EXPECT_EQ(grep("A.", "\x83\x41x\nAx\n"), (Lines{{2, "Ax"}}));
    EXPECT_EQ(grep("\x83\x41", "x\x83\x41\n"), (Lines{{1, "x\x83\x41"}}));
}

TEST(Grep, EmptyFileAndMissingFile) {
    EXPECT_EQ(grep("a", ""), Lines{});
    TGrep g;
    g.SetRegExp("a");
    g.Grep("/nonexistent/zb-missing");  // no handler: the file is not even opened
    g.OnMatch = [](TGrep&, const RE_LineInfo_t&) {};
    EXPECT_THROW(g.Grep("/nonexistent/zb-missing"), EFileNotFound);
    g.SetRegExp("a.");
    EXPECT_THROW(g.Grep("/nonexistent/zb-missing"), EFileNotFound);
}

TEST(Grep, CancelFromTheHandlerStopsBeforeTheNextLine) {
    TempFile file("a1\na2\na3\n");
    for (const char* expr : {"a", "a."}) {
        TGrep g;
        g.SetRegExp(expr);
        int seen = 0;
        g.OnMatch = [&](TGrep& sender, const RE_LineInfo_t&) {
            ++seen;
            sender.Cancel = true;
        };
        EXPECT_THROW(g.Grep(file.path()), EGrepCancel) << expr;
        EXPECT_EQ(seen, 1) << expr;
        EXPECT_TRUE(g.Cancel);
    }
}

TEST(Grep, CancelIsClearedWhenASearchStarts) {
    TempFile file("a\n");
    TGrep g;
    g.SetRegExp("a");
    g.Cancel = true;
    int seen = 0;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t&) { ++seen; };
    g.Grep(file.path());
    EXPECT_EQ(seen, 1);
}

TEST(Grep, HandlerExceptionsPassOutAndEndOfFileFromAHandlerEndsTheSearch) {
    TempFile file("a\na\na\n");
    TGrep g;
    g.SetRegExp("a");
    int seen = 0;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t&) {
        if (++seen == 2) throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(g.Grep(file.path()), std::runtime_error);
    seen = 0;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t&) {
        if (++seen == 2) throw EEndOfFile();
    };
    EXPECT_NO_THROW(g.Grep(file.path()));
    EXPECT_EQ(seen, 2);
}

TEST(Grep, MessagesAreProcessedBeforeEveryReportedLine) {
    TempFile file("a\nb\na\n");
    TGrep g;
    g.SetRegExp("a");
    std::vector<std::string> events;
    g.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) { events.push_back("line " + info.Line); };
    const ProcessMessagesHook previous = SetProcessMessagesHook([&] { events.push_back("pump"); });
    g.Grep(file.path());
    SetProcessMessagesHook(previous);
    EXPECT_EQ(events, (std::vector<std::string>{"pump", "pump", "line a", "pump", "line a"}));
}

TEST(Grep, AHandlerThatSetsNewExpressionsLetsTheRunningSearchFinish) {
    // 40 new expressions push the searched one out of the cache of 30; the search goes on with
    // the expression it started with, and the next search uses the last one set.
    TempFile file("ab\nxx\nab\nq39 \nab\n");
    for (const char* expr : {"a.", "ab"}) {
        TGrep g;
        g.SetRegExp(expr);
        Lines out;
        g.OnMatch = [&](TGrep& sender, const RE_LineInfo_t& info) {
            out.emplace_back(info.LineNo, info.Line);
            if (out.size() == 1) {
                for (int i = 0; i < 40; ++i)
                    sender.SetRegExp("q" + std::to_string(i) + ".");
            }
        };
        g.Grep(file.path());
        EXPECT_EQ(out, (Lines{{1, "ab"}, {3, "ab"}, {5, "ab"}})) << expr;
        out.clear();
        g.Grep(file.path());
        EXPECT_EQ(out, (Lines{{4, "q39 "}})) << expr;
    }
}

TEST(Grep, BothStrategiesReportTheSameLinesForSimpleExpressions) {
    const std::string text =
        "src=/images?q=1\r\nxsrc=/images?q\n\nsrc=/images?\n\x82\x73src=/images?q\rend";
    for (bool fast : {true, false}) {
        EXPECT_EQ(grep("src=/images\\?q", text, fast, &TGrep::GrepByStr),
                  grep("src=/images\\?q", text, fast, &TGrep::GrepByRegExp));
    }
    EXPECT_EQ(grep("^ab", "ab\nab", true, &TGrep::GrepByStr),
              grep("^ab", "ab\nab", true, &TGrep::GrepByRegExp));
}

TEST(Grep, EmptySimpleStringReportsNoLine) {
    EXPECT_EQ(grep("", "a\nb\n"), Lines{});
    EXPECT_EQ(grep("()", "a\nb\n"), Lines{});
}

TEST(Grep, ExpressionNamingCodeZeroStillEndsAtTheEndOfTheFile) {
    EXPECT_EQ(grep("a\\x0*", "a\nb"), (Lines{{1, "a"}}));
    EXPECT_EQ(grep("b[\\x0-\\x1]", "a\nb"), Lines{});
}

}  // namespace
}  // namespace zb
