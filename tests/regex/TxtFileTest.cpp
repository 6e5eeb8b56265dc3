// The buffered reader: line ends across fills, NUL bytes, double-byte characters split between
// fills, long lines, the end of the file and its errors; mapped files against pipes read with
// read(); the line-end scanning it is built on.

#include "regex/TTxtFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "TempFile.h"
#include "regex/GrepErrors.h"
#include "regex/LineEnds.h"
#include "regex/ProcessMessages.h"

namespace zb {
namespace {

using test::TempFile;
constexpr int kBuf = TTxtFile::BufferSize;

// Every character the base takes until the end of the file (taking the LF after the last line
// meets the end and raises, so that LF is not among them).
std::vector<WChar_t> baseCodes(const std::string& path) {
    bool cancel = false;
    TTxtFile f(path, cancel);
    std::vector<WChar_t> codes;
    try {
        for (;;)
            codes.push_back(f.AdvanceBase());
    } catch (const EEndOfFile&) {
    }
    return codes;
}

// Every line: the reader stopped on each line's first character, as the line search does.
std::vector<std::pair<int, std::string>> lines(const std::string& bytes) {
    TempFile file(bytes);
    bool cancel = false;
    TTxtFile f(file.path(), cancel);
    std::vector<std::pair<int, std::string>> out;
    try {
        for (;;) {
            if (f.AdvanceBase() != '\n') continue;
            // The base has just passed a line end: report the line it now stands in.
            const RE_LineInfo_t info = f.GetThisLine();
            out.emplace_back(info.LineNo, info.Line);
        }
    } catch (const EEndOfFile&) {
    }
    return out;
}

using Lines = std::vector<std::pair<int, std::string>>;

TEST(TxtFile, EmptyFileRaisesEndOfFileFromTheConstructor) {
    TempFile empty("");
    bool cancel = false;
    EXPECT_THROW(TTxtFile(empty.path(), cancel), EEndOfFile);
}

TEST(TxtFile, MissingFileRaisesFileNotFoundWithTheSystemMessage) {
    bool cancel = false;
    try {
        TTxtFile f("/nonexistent/zb-no-such-file", cancel);
        FAIL() << "no exception";
    } catch (const EFileNotFound& e) {
        EXPECT_EQ(e.Message, "No such file or directory");
    }
}

TEST(TxtFile, LineEndsOfEveryKindReadAsOneLF) {
    EXPECT_EQ(baseCodes(TempFile("a\r\nb\nc\rd").path()),
              (std::vector<WChar_t>{'\n', 'a', '\n', 'b', '\n', 'c', '\n', 'd'}));
    EXPECT_EQ(lines("a\r\nb\nc\rd"), (Lines{{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}}));
    EXPECT_EQ(lines("x\n\n\r\n\ry"), (Lines{{1, "x"}, {2, ""}, {3, ""}, {4, ""}, {5, "y"}}));
}

TEST(TxtFile, FileEndingInCRReadsItAsALineEnd) {
    EXPECT_EQ(baseCodes(TempFile("ab\r").path()), (std::vector<WChar_t>{'\n', 'a', 'b'}));
    EXPECT_EQ(lines("ab\r"), (Lines{{1, "ab"}}));
}

TEST(TxtFile, NulBytesReadAsSpaces) {
    EXPECT_EQ(lines(std::string("a\0b\n\0", 5)), (Lines{{1, "a b"}, {2, " "}}));
}

TEST(TxtFile, DoubleByteCharactersAndTheLeadBeforeALineEnd) {
    EXPECT_EQ(baseCodes(TempFile("\x82\xa0x").path()), (std::vector<WChar_t>{'\n', 0x82A0, 'x'}));
    // A lead byte last on a line takes the LF as its trail; the LF still counts as a line end.
    bool cancel = false;
    TempFile f("\x82\ny\n");
    TTxtFile t(f.path(), cancel);
    EXPECT_EQ(t.AdvanceBase(), '\n');
    EXPECT_EQ(t.AdvanceBase(), 0x820A);
    EXPECT_EQ(t.AdvanceBase(), 'y');
    EXPECT_EQ(t.GetThisLine().LineNo, 2);
}

TEST(TxtFile, LeadByteLastInTheFileNeverReadsPastTheBuffer) {
    // The LF the reader adds becomes the trail byte; the end is then met as usual.
    EXPECT_EQ(baseCodes(TempFile("ab\x82").path()), (std::vector<WChar_t>{'\n', 'a', 'b'}));
    for (std::size_t size : {std::size_t{kBuf - 1}, std::size_t{kBuf}, std::size_t{kBuf + 1}}) {
        std::string bytes(size - 1, 'a');
        bytes += '\x82';  // last byte of the file, at or around the end of the first fill
        TempFile f(bytes);
        bool cancel = false;
        TTxtFile t(f.path(), cancel);
        t.AdvanceBase();
        std::size_t read = 0;
        while (t.GetWChar() != 0)
            ++read;
        EXPECT_EQ(read, size - 1 + 1) << size;  // the a's, then lead + LF as one code
        EXPECT_EQ(baseCodes(f.path()).size(), size) << size;
    }
}

TEST(TxtFile, ReadPositionReturnsZeroAtTheEndAndBaseRaisesAgainAndAgain) {
    TempFile f("ab");
    bool cancel = false;
    TTxtFile t(f.path(), cancel);
    EXPECT_EQ(t.AdvanceBase(), '\n');
    EXPECT_EQ(t.GetWChar(), 'a');
    EXPECT_EQ(t.GetWChar(), 'b');
    EXPECT_EQ(t.GetWChar(), '\n');
    EXPECT_EQ(t.GetWChar(), 0);
    EXPECT_EQ(t.GetWChar(), 0);
    t.AdvanceBase();
    t.AdvanceBase();
    EXPECT_THROW(t.AdvanceBase(), EEndOfFile);  // taking the last LF meets the end
    EXPECT_THROW(t.AdvanceBase(), EEndOfFile);
}

TEST(TxtFile, CRLFSplitBetweenFillsIsOneLineEnd) {
    // The first fill holds the LF the reader adds plus kBuf - 1... bytes of the file: put the CR
    // as the last byte of the first fill and the LF as the first byte of the second.
    std::string bytes(kBuf - 1, 'a');
    bytes += "\r\nb\n";
    EXPECT_EQ(lines(bytes), (Lines{{1, std::string(kBuf - 1, 'a')}, {2, "b"}}));
}

TEST(TxtFile, LoneCRLastInAFillIsOneLineEnd) {
    std::string bytes(kBuf - 1, 'a');
    bytes += "\rb\n";
    EXPECT_EQ(lines(bytes), (Lines{{1, std::string(kBuf - 1, 'a')}, {2, "b"}}));
    // The same through the read position, which meets the CR first.
    TempFile f(bytes);
    bool cancel = false;
    TTxtFile t(f.path(), cancel);
    t.AdvanceBase();
    for (int i = 0; i < kBuf - 1; ++i)
        ASSERT_EQ(t.GetWChar(), 'a');
    EXPECT_EQ(t.GetWChar(), '\n');
    EXPECT_EQ(t.GetWChar(), 'b');
}

TEST(TxtFile, DoubleByteCharacterSplitBetweenFills) {
    std::string bytes(kBuf - 1, 'a');
    bytes += "\x82\xa0z\n";
    const auto codes = baseCodes(TempFile(bytes).path());
    ASSERT_EQ(codes.size(), static_cast<std::size_t>(kBuf + 2));
    EXPECT_EQ(codes[static_cast<std::size_t>(kBuf)], 0x82A0);
    EXPECT_EQ(codes[static_cast<std::size_t>(kBuf) + 1], 'z');
}

TEST(TxtFile, LineLongerThanTheBufferIsReturnedWhole) {
    std::string longLine;
    for (int i = 0; i < 3 * kBuf + 17; ++i)
        longLine += static_cast<char>('a' + i % 26);
    const std::string bytes = "first\r\n" + longLine + "\r\nlast";
    EXPECT_EQ(lines(bytes), (Lines{{1, "first"}, {2, longLine}, {3, "last"}}));
}

TEST(TxtFile, ReportFromTheMiddleOfALongLineSpanningFills) {
    // The read position runs ahead into later fills while the base stays in the line.
    std::string longLine(2 * kBuf + 5, 'x');
    longLine[10] = 'K';
    TempFile f("top\n" + longLine + "\nend\n");
    bool cancel = false;
    TTxtFile t(f.path(), cancel);
    while (t.AdvanceBase() != 'K') {
    }
    for (int i = 0; i < 2 * kBuf; ++i)
        t.GetWChar();  // forces two refills by the read position
    const RE_LineInfo_t info = t.GetThisLine();
    EXPECT_EQ(info.LineNo, 2);
    EXPECT_EQ(info.Line.size(), longLine.size());
    EXPECT_EQ(info.Line, longLine);
    EXPECT_EQ(t.AdvanceBase(), '\n');
    EXPECT_EQ(t.AdvanceBase(), 'e');
    EXPECT_EQ(t.GetThisLine().Line, "end");
}

TEST(TxtFile, MessagesAreProcessedAfterEveryFillAndCancelStops) {
    std::string bytes(2 * kBuf + 10, 'q');
    TempFile f(bytes);
    bool cancel = false;
    int pumps = 0;
    const ProcessMessagesHook previous = SetProcessMessagesHook([&] { ++pumps; });
    {
        TTxtFile t(f.path(), cancel);
        EXPECT_EQ(pumps, 1);
        try {
            for (;;)
                t.AdvanceBase();
        } catch (const EEndOfFile&) {
        }
        EXPECT_EQ(pumps, 3);
    }
    // A handler that runs during the second fill asks to cancel.
    int fills = 0;
    SetProcessMessagesHook([&] { cancel = ++fills == 2; });
    {
        TTxtFile t(f.path(), cancel);
        EXPECT_THROW(
            {
                for (;;)
                    t.AdvanceBase();
            },
            EGrepCancel);
    }
    SetProcessMessagesHook([&] { cancel = true; });
    EXPECT_THROW(TTxtFile(f.path(), cancel), EGrepCancel);
    SetProcessMessagesHook(previous);
}

// Everything a reader hands out until the end: each character the base takes, each line
// GetThisLine returns at a line start, and each time messages were processed (after a fill).
std::vector<std::string> readAll(TTxtFile& t) {
    std::vector<std::string> out;
    const ProcessMessagesHook previous = SetProcessMessagesHook([&] { out.push_back("pump"); });
    try {
        for (;;) {
            const WChar_t c = t.AdvanceBase();
            out.push_back(std::to_string(c));
            if (c == '\n') {
                const RE_LineInfo_t info = t.GetThisLine();
                out.push_back(std::to_string(info.LineNo) + ":" + info.Line);
            }
        }
    } catch (const EEndOfFile&) {
    }
    SetProcessMessagesHook(previous);
    return out;
}

// Bytes of every awkward kind, with a CR LF pair, a lone CR and a double-byte character placed
// across each boundary between fills.
std::string awkwardText(std::size_t size) {
    static const char* const pieces[] = {"ab", "\r\n", "\n", "\r", "\x82\xa0", "\x82\n", "x y"};
    std::mt19937 rng(7);
    std::string t;
    while (t.size() < size) {
        if (rng() % 9 == 0) {
            t += '\0';
        } else {
            t += pieces[rng() % 7];
        }
    }
    t.resize(size);
    for (std::size_t fill = kBuf - 1; fill + 1 < size; fill += kBuf)
        t[fill] = (fill / kBuf) % 3 == 0 ? '\r' : (fill / kBuf) % 3 == 1 ? '\x82' : 'q';
    return t;
}

TEST(TxtFile, APipeIsReadWithReadAndGivesWhatTheMappedFileGives) {
    // Lengths of a whole number of fills included: the last fill must still end the data.
    for (std::size_t size :
         {std::size_t{5}, std::size_t{kBuf - 1}, std::size_t{kBuf}, std::size_t{kBuf + 1},
          std::size_t{2 * kBuf}, std::size_t{3 * kBuf + 77}, std::size_t{24 * kBuf + 5}}) {
        const std::string bytes = awkwardText(size);
        TempFile file(bytes);
        bool cancel = false;
        TTxtFile mapped(file.path(), cancel);
        EXPECT_TRUE(mapped.Mapped());
        const std::vector<std::string> expected = readAll(mapped);

        const std::string fifo = file.path() + ".fifo";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::thread writer([&] {
            const int fd = ::open(fifo.c_str(), O_WRONLY);
            // Small writes: the reader must gather whole fills from a pipe.
            for (std::size_t done = 0; done < bytes.size();) {
                const ssize_t n = ::write(fd, bytes.data() + done,
                                          std::min<std::size_t>(4093, bytes.size() - done));
                if (n <= 0) break;
                done += static_cast<std::size_t>(n);
            }
            ::close(fd);
        });
        {
            TTxtFile piped(fifo, cancel);
            EXPECT_FALSE(piped.Mapped());
            EXPECT_EQ(readAll(piped), expected) << size;
        }
        writer.join();
        std::remove(fifo.c_str());
    }
}

TEST(TxtFile, AFileThatChangesSizeDuringTheSearchIsReadAsItIsThen) {
    // Halfway through the first fill the file is rewritten, longer or shorter: the rest is what
    // is there then, and reading where a mapping no longer reaches must not fault (nor mapping
    // its pages ahead, which a file of this size has).
    const std::string original = awkwardText(12 * kBuf);
    const std::string grown = original + "more\r\nlines";
    const std::string shrunk = original.substr(0, 2 * kBuf + 3);
    auto run = [](const std::string& path, const std::string* rewrite) {
        bool cancel = false;
        TTxtFile t(path, cancel);
        std::vector<std::string> out;
        while (t.BaseOffset() < kBuf / 2)
            out.push_back(std::to_string(t.AdvanceBase()));
        if (rewrite != nullptr) {
            const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
            EXPECT_EQ(::write(fd, rewrite->data(), rewrite->size()),
                      static_cast<ssize_t>(rewrite->size()));
            ::close(fd);
        }
        for (const std::string& e : readAll(t)) {
            if (e != "pump") out.push_back(e);
        }
        return out;
    };
    for (const std::string* now : {&grown, &shrunk}) {
        TempFile file(original);
        TempFile expected(*now);
        EXPECT_EQ(run(file.path(), now), run(expected.path(), nullptr)) << now->size();
    }
}

TEST(LineEnds, ScanningAgreesWithAPlainLoop) {
    // Every line-end count, first special byte and block count against the byte-by-byte rule: an
    // LF, or a CR that no LF follows.
    auto plainCount = [](const std::string& t, std::size_t from, std::size_t to) {
        std::size_t n = 0;
        for (std::size_t i = from; i < to; ++i)
            n += t[i] == '\n' || (t[i] == '\r' && t[i + 1] != '\n');
        return n;
    };
    std::mt19937 rng(11);
    static const char bytes[] = {'a', '\n', '\r', '\0', '\x82', '?'};
    for (int round = 0; round < 200; ++round) {
        std::string t(1 + rng() % 3000, 'a');
        const std::size_t kinds = 1 + rng() % 6;  // some texts without CR, NUL or '?'
        for (char& c : t)
            c = rng() % 4 == 0 ? bytes[rng() % kinds] : 'a';
        t += '\n';  // the byte after the range
        const std::size_t size = t.size() - 1;
        const std::size_t from = rng() % size;
        const std::size_t to = from + rng() % (size - from + 1);
        EXPECT_EQ(CountLineEnds(t.data() + from, t.data() + to), plainCount(t, from, to));
        const char* special = FindLineEndOrNul(t.data() + from, t.data() + to);
        std::size_t first = from;
        while (first < to && t[first] != '\n' && t[first] != '\r' && t[first] != '\0')
            ++first;
        EXPECT_EQ(special - t.data(), static_cast<std::ptrdiff_t>(first));

        std::string scanned = t;
        std::vector<std::uint32_t> counts(size / kLineEndBlock + 1);
        std::vector<std::uint64_t> marks((counts.size() + 63) / 64, ~std::uint64_t{0});
        ASSERT_EQ(ScanFill(scanned.data(), scanned.data() + size, counts.data(), '?', marks.data()),
                  counts.size());
        std::string spaced = t;
        for (std::size_t i = 0; i < size; ++i) {
            if (spaced[i] == '\0') spaced[i] = ' ';
        }
        EXPECT_EQ(scanned, spaced);
        for (std::size_t k = 0; k < counts.size(); ++k) {
            const std::size_t start = k * kLineEndBlock;
            EXPECT_EQ(counts[k], plainCount(spaced, 0, start)) << k;
            const std::size_t end = std::min(start + kLineEndBlock, size);
            const bool part = k + 1 == counts.size();
            const bool holds = spaced.find('?', start) < end;
            EXPECT_EQ((marks[k / 64] >> (k % 64) & 1) != 0, holds || part) << k;
        }
    }
}

}  // namespace
}  // namespace zb
