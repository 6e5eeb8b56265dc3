#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "E2eSupport.h"
#include "ServiceProcess.h"

namespace zb::test {
namespace {

constexpr int kCorpus = 100;  // "image" with the filter off: 5 pages

struct FaultRun {
    ProgramRun Run;
    std::vector<std::string> Expected;  // what a faultless search lists
    std::vector<std::string> Log;
    std::string List;  // the -o file
};

// Searches "image" (filter off) on a service started with the faults; waits for `requests`
// log lines.
FaultRun SearchWith(const std::vector<std::string>& faults, std::size_t requests) {
    std::vector<std::string> args = {"--images", std::to_string(kCorpus)};
    args.insert(args.end(), faults.begin(), faults.end());
    ServiceProcess service(args);
    IsolatedCli cli;
    const std::string list = (cli.Folder() / "list.txt").string();
    FaultRun r;
    r.Run = cli.Run({"--service", "127.0.0.1:" + std::to_string(service.Port()), "--and", "image",
                     "--adult-filter", "off", "-o", list});
    r.Expected = ExpectedAddresses(service.Port(), "q=image&imgsafe=off", kCorpus);
    r.Log = service.WaitForLog(requests);
    r.List = ReadBytes(list);
    return r;
}

std::vector<std::string> FirstOf(const std::vector<std::string>& list, std::size_t n) {
    return {list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n)};
}

std::string LastLine(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return lines.empty() ? "" : lines.back();
}

TEST(CliFaults, PageWithoutTheMarkerEndsTheSession) {
    const FaultRun r = SearchWith({"--no-next-marker"}, 1);
    EXPECT_EQ(r.Run.ExitStatus, 0) << r.Run.Err;
    EXPECT_EQ(Lines(r.Run.Out), FirstOf(r.Expected, 20));
    EXPECT_EQ(r.Log.size(), 1u);
    EXPECT_EQ(LastLine(r.Run.Err), "session ended: no further page (1 page, 20 addresses)");
}

TEST(CliFaults, DoubleSrcLineEndsTheSessionAfterThatPage) {
    const FaultRun r = SearchWith({"--double-src", "4"}, 1);
    EXPECT_EQ(r.Run.ExitStatus, 1);
    EXPECT_EQ(Lines(r.Run.Out), FirstOf(r.Expected, 3));
    EXPECT_EQ(r.Log.size(), 1u);
    EXPECT_EQ(LastLine(r.Run.Err).rfind("session ended: scan error: ", 0), 0u) << r.Run.Err;
}

TEST(CliFaults, FailedFirstPageAppendsNothing) {
    for (const std::vector<std::string>& fault :
         {std::vector<std::string>{"--drop"}, std::vector<std::string>{"--status", "500"}}) {
        const FaultRun r = SearchWith(fault, 1);
        EXPECT_EQ(r.Run.ExitStatus, 1) << fault[0];
        EXPECT_EQ(r.Run.Out, "");
        EXPECT_EQ(r.List, "\r\n");
        EXPECT_EQ(r.Log.size(), 1u);
        const std::string end = LastLine(r.Run.Err);
        if (fault[0] == "--drop") {
            EXPECT_EQ(end.rfind("session ended: fetch error: ", 0), 0u) << end;
        } else {
            EXPECT_EQ(end, "session ended: error status 500 (1 page, 0 addresses)");
        }
    }
}

TEST(CliFaults, NothingListening) {
    IsolatedCli cli;
    const ProgramRun run = cli.Run(
        {"--service", "127.0.0.1:" + std::to_string(UnusedLoopbackPort()), "--and", "image"});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(LastLine(run.Err).find("fetch error: "), std::string::npos) << run.Err;
}

TEST(CliFaults, ResetInTheSecondPageKeepsTheFirst) {
    const FaultRun r = SearchWith({"--reset", "--fault-skip", "1"}, 2);
    EXPECT_EQ(r.Run.ExitStatus, 1);
    EXPECT_EQ(Lines(r.Run.Out), FirstOf(r.Expected, 20));
    EXPECT_EQ(r.Log.size(), 2u);
    EXPECT_NE(LastLine(r.Run.Err).find("fetch error: "), std::string::npos) << r.Run.Err;
}

TEST(CliFaults, RedirectIsFollowed) {
    const FaultRun r = SearchWith({"--redirect-first"}, 6);
    EXPECT_EQ(r.Run.ExitStatus, 0) << r.Run.Err;
    EXPECT_EQ(Lines(r.Run.Out), r.Expected);
    ASSERT_EQ(r.Log.size(), 6u);
    EXPECT_EQ(r.Log[0], "GET /images?q=image&num=20&start=0&hl=ja&imgsafe=off 302");
    EXPECT_EQ(r.Log[1], "GET /images?q=image&num=20&start=0&hl=ja&imgsafe=off 200");
}

TEST(CliFaults, ServerThatNeverClosesIsSurvived) {
    const FaultRun r = SearchWith({"--never-close"}, 5);
    EXPECT_EQ(r.Run.ExitStatus, 0) << r.Run.Err;
    EXPECT_EQ(Lines(r.Run.Out), r.Expected);
    std::string list = "\r\n";
    for (const std::string& a : r.Expected)
        list += a + "\r\n";
    EXPECT_EQ(r.List, list);
}

}  // namespace
}  // namespace zb::test
