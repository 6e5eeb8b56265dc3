// The zunbarra-service program on a free loopback port: requests as the system's client sends
// them, the request log, --expect, and every fault mode.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QImage>
#include <cerrno>

#include "PageScan.h"
#include "ServiceProcess.h"
#include "common/Cp932.h"
#include "service/CorpusGenerator.h"
#include "service/ResultPage.h"

namespace zb::test {
namespace {

const std::string kCatPage = "/images?q=cat&num=20&start=0&hl=ja&imgsafe=on";

// A thumbnail the default corpus serves.
std::string FirstThumbnail() {
    return ThumbnailPath(GenerateCorpus().Entries().front());
}

// The status of each GET, in order, each on a connection of its own.
std::vector<int> Statuses(int port, const std::vector<std::string>& targets) {
    std::vector<int> statuses;
    for (const std::string& t : targets)
        statuses.push_back(Get(port, t).Status);
    return statuses;
}

std::string Request(const std::string& target, const std::string& method = "GET") {
    return method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t lf = text.find('\n', from);
        lines.push_back(text.substr(from, lf - from));
        from = lf == std::string::npos ? text.size() : lf + 1;
    }
    return lines;
}

// Every path the pages of a search list, following the marker as the session does.
std::vector<std::string> HarvestOverHttp(int port, const std::string& params) {
    std::vector<std::string> paths;
    for (int start = 0;; start += 20) {
        const ParsedReply r =
            Get(port, "/images?" + params + "&num=20&start=" + std::to_string(start));
        EXPECT_EQ(r.Status, 200);
        const PageScan scan = ScanPage(r.Body);
        paths.insert(paths.end(), scan.Paths.begin(), scan.Paths.end());
        if (!scan.NextMarker || r.Status != 200) return paths;
    }
}

TEST(ServiceProgram, ServesAPageAndLogsTheRequest) {
    ServiceProcess service;
    const ParsedReply r = Get(service.Port(), kCatPage);
    EXPECT_EQ(r.Status, 200);
    EXPECT_EQ(r.Header("content-type"), "text/html; charset=Shift_JIS");
    EXPECT_EQ(r.Header("content-length"), std::to_string(r.Body.size()));
    EXPECT_EQ(ScanPage(r.Body).Paths.size(), 20u);
    EXPECT_EQ(service.WaitForLog(1), std::vector<std::string>{"GET " + kCatPage + " 200"});
    EXPECT_EQ(service.Stop(), 0);
}

TEST(ServiceProgram, RawAndPercentEncodedCp932AreTheSameSearch) {
    ServiceProcess service;
    const std::string raw =
        "/images?q=" + Utf8ToCp932("猫+-表紙") + "&num=20&start=0&hl=ja&imgsafe=on";
    const std::string encoded = "/images?q=%94%4C+-%95%5C%8E%86&num=20&start=0&hl=ja&imgsafe=on";
    const PageScan a = ScanPage(Get(service.Port(), raw).Body);
    const PageScan b = ScanPage(Get(service.Port(), encoded).Body);
    EXPECT_FALSE(a.Paths.empty());
    EXPECT_EQ(a.Paths, b.Paths);
    // The log shows each target byte for byte as it arrived.
    EXPECT_EQ(service.WaitForLog(2),
              (std::vector<std::string>{"GET " + raw + " 200", "GET " + encoded + " 200"}));
}

TEST(ServiceProgram, ProxyFormRequestsAreServed) {
    ServiceProcess service;
    const std::string absolute = "http://127.0.0.1:" + std::to_string(service.Port()) + kCatPage;
    const RawReply reply = Exchange(
        service.Port(),
        "GET " + absolute + " HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(reply.Error, 0);  // closed after the body in spite of Keep-Alive
    EXPECT_EQ(ScanPage(ParseReply(reply.Bytes).Body).Paths,
              ScanPage(Get(service.Port(), kCatPage).Body).Paths);
    EXPECT_EQ(service.WaitForLog(2).front(), "GET " + absolute + " 200");
}

TEST(ServiceProgram, ThumbnailsAreImages) {
    ServiceProcess service;
    const PageScan scan = ScanPage(Get(service.Port(), kCatPage).Body);
    ASSERT_FALSE(scan.Paths.empty());
    const ParsedReply image = Get(service.Port(), scan.Paths.front());
    EXPECT_EQ(image.Status, 200);
    EXPECT_EQ(image.Header("content-type"), "image/png");
    QImage decoded;
    EXPECT_TRUE(decoded.loadFromData(reinterpret_cast<const uchar*>(image.Body.data()),
                                     static_cast<int>(image.Body.size()), "PNG"));
    EXPECT_EQ(Get(service.Port(), "/images?q=tbn:NoSuchId").Status, 404);
}

TEST(ServiceProgram, ErrorsAndOtherRoutes) {
    ServiceProcess service;
    const int port = service.Port();
    EXPECT_EQ(Get(port, "/").Status, 200);
    EXPECT_EQ(Get(port, "/nowhere").Status, 404);
    EXPECT_EQ(Get(port, "/images?q=cat&start=-1").Status, 400);
    EXPECT_EQ(ParseReply(Exchange(port, Request(kCatPage, "POST")).Bytes).Status, 405);
    EXPECT_EQ(ParseReply(Exchange(port, "GET /a b HTTP/1.0\r\n\r\n").Bytes).Status, 400);
    const ParsedReply head = ParseReply(Exchange(port, Request(kCatPage, "HEAD")).Bytes);
    EXPECT_EQ(head.Status, 200);
    EXPECT_TRUE(head.Body.empty());
    EXPECT_NE(head.Header("content-length"), "0");
    const std::vector<std::string> log = service.WaitForLog(6);
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[3], "POST " + kCatPage + " 405");
    EXPECT_EQ(log[4], "- GET /a b HTTP/1.0 400");
    EXPECT_EQ(log[5], "HEAD " + kCatPage + " 200");
}

TEST(ServiceProgram, ExpectListsWhatThePagesList) {
    ServiceProcess service;
    for (const std::string& params :
         std::vector<std::string>{"q=cat+-red&hl=ja&imgsafe=on",
                                  "q=" + Utf8ToCp932("赤") + "&hl=ja&imgsafe=off&lr=lang_ja"}) {
        const std::vector<std::string> harvested = HarvestOverHttp(service.Port(), params);
        EXPECT_GT(harvested.size(), 20u) << params;
        const ProgramRun run = RunProgram(ServiceProcess::ProgramPath(), {"--expect", params});
        EXPECT_EQ(run.ExitStatus, 0);
        EXPECT_EQ(Lines(run.Out), harvested) << params;
        // A logged target works as well.
        const ProgramRun fromTarget = RunProgram(
            ServiceProcess::ProgramPath(), {"--expect", "/images?" + params + "&num=20&start=40"});
        EXPECT_EQ(fromTarget.Out, run.Out);
    }
}

TEST(ServiceProgram, Layout2ServesSearchPagesAndExpectReadsTheirShape) {
    ServiceProcess classic;
    ServiceProcess modern({"--layout", "2"});
    const std::string search = "/search?q=cat+-red&offset=0&count=20&safe=off&lang=ja";
    EXPECT_EQ(Get(classic.Port(), search).Status, 404);
    const ParsedReply page = Get(modern.Port(), search);
    EXPECT_EQ(page.Status, 200);
    EXPECT_EQ(page.Header("content-type"), "text/html; charset=utf-8");
    // The /images shape is still accepted, and gives a page of the second layout.
    EXPECT_NE(Get(modern.Port(), kCatPage).Body.find("data-src=\"/images?q=tbn:"),
              std::string::npos);

    const std::string program = ServiceProcess::ProgramPath();
    const ProgramRun reference =
        RunProgram(program, {"--expect", "q=cat+-red&imgsafe=off&lr=lang_ja"});
    EXPECT_GT(Lines(reference.Out).size(), 20u);
    for (const std::string& query : {search, "http://127.0.0.1:8930" + search, search.substr(8),
                                     std::string("/images?q=cat+-red&imgsafe=off&lr=lang_ja")}) {
        const ProgramRun run = RunProgram(program, {"--layout", "2", "--expect", query});
        EXPECT_EQ(run.ExitStatus, 0) << query;
        EXPECT_EQ(run.Out, reference.Out) << query;
    }
}

TEST(ServiceProgram, CorpusSizeOption) {
    const ProgramRun run = RunProgram(ServiceProcess::ProgramPath(),
                                      {"--images", "1000", "--expect", "q=image&imgsafe=off"});
    EXPECT_EQ(Lines(run.Out).size(), 1000u);
}

TEST(ServiceProgram, BadOptionsAreReported) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--port", "70000"},
                                                 {"--bogus"},
                                                 {"--status", "200"},
                                                 {"--delay"},
                                                 {"--double-src", "0"},
                                                 {"--layout", "3"},
                                                 {"--fault-on", "images"},
                                                 {"--fault-count", "-1"},
                                                 {"--retry-after", "1\r\nX-Injected: 1"}}) {
        const ProgramRun run = RunProgram(ServiceProcess::ProgramPath(), args);
        EXPECT_EQ(run.ExitStatus, 2) << args.front();
        EXPECT_NE(run.Err.find("zunbarra-service: "), std::string::npos);
    }
    EXPECT_EQ(RunProgram(ServiceProcess::ProgramPath(), {"--help"}).ExitStatus, 0);
}

TEST(ServiceFaults, DelayHoldsTheAnswerAndStopStillEndsPromptly) {
    ServiceProcess slow({"--delay", "600000"});
    const int fd = ConnectLoopback(slow.Port());
    const std::string request = Request(kCatPage);
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    char byte;
    EXPECT_EQ(recv(fd, &byte, 1, MSG_DONTWAIT), -1);
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_EQ(slow.Stop(), 0);
    EXPECT_TRUE(ReadToEnd(fd).Bytes.empty());
    close(fd);

    ServiceProcess brief({"--delay", "20"});
    EXPECT_EQ(ScanPage(Get(brief.Port(), kCatPage).Body).Paths.size(), 20u);
}

TEST(ServiceFaults, DropClosesWithoutAnswer) {
    ServiceProcess service({"--drop"});
    const RawReply r = Exchange(service.Port(), Request(kCatPage));
    EXPECT_TRUE(r.Bytes.empty());
    EXPECT_EQ(r.Error, 0);
    EXPECT_EQ(service.WaitForLog(1).front(), "GET " + kCatPage + " - (dropped)");
}

TEST(ServiceFaults, ResetInTheMiddleOfTheBody) {
    ServiceProcess service({"--reset"});
    const RawReply r = Exchange(service.Port(), Request(kCatPage));
    EXPECT_EQ(r.Error, ECONNRESET);
    const ParsedReply p = ParseReply(r.Bytes);
    EXPECT_EQ(p.Status, 200);
    EXPECT_GT(p.Body.size(), 0u);
    EXPECT_LT(p.Body.size(), std::stoul(p.Header("content-length")));
    EXPECT_EQ(service.WaitForLog(1).front().rfind("GET " + kCatPage + " 200 (reset after ", 0), 0u);
}

TEST(ServiceFaults, RedirectOnlyTheFirstRequest) {
    ServiceProcess service({"--redirect-first"});
    const ParsedReply first = Get(service.Port(), kCatPage);
    EXPECT_EQ(first.Status, 302);
    EXPECT_EQ(first.Header("location"),
              "http://127.0.0.1:" + std::to_string(service.Port()) + kCatPage);
    EXPECT_EQ(Get(service.Port(), kCatPage).Status, 200);
    EXPECT_EQ(service.WaitForLog(2),
              (std::vector<std::string>{"GET " + kCatPage + " 302", "GET " + kCatPage + " 200"}));
}

TEST(ServiceFaults, ErrorStatuses) {
    for (const int status : {404, 500}) {
        ServiceProcess service({"--status", std::to_string(status)});
        EXPECT_EQ(Get(service.Port(), kCatPage).Status, status);
        EXPECT_EQ(Get(service.Port(), "/").Status, status);
    }
}

TEST(ServiceFaults, NeverCloseKeepsTheConnectionAfterTheBody) {
    ServiceProcess service({"--never-close"});
    const int fd = ConnectLoopback(service.Port());
    const std::string request = Request(kCatPage);
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    // The log line is written once the whole body has been sent.
    EXPECT_EQ(service.WaitForLog(1).front(), "GET " + kCatPage + " 200 (kept open)");
    std::string bytes;
    char buf[4096];
    ssize_t n;
    while ((n = recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0)
        bytes.append(buf, static_cast<std::size_t>(n));
    EXPECT_EQ(n, -1);  // no end of stream, only no more data
    EXPECT_EQ(errno, EAGAIN);
    const ParsedReply p = ParseReply(bytes);
    EXPECT_EQ(p.Body.size(), std::stoul(p.Header("content-length")));
    // Stopping does not wait for the client.
    EXPECT_EQ(service.Stop(), 0);
    close(fd);
}

TEST(ServiceFaults, PageDefects) {
    ServiceProcess noMarker({"--no-next-marker"});
    const PageScan a = ScanPage(Get(noMarker.Port(), kCatPage).Body);
    EXPECT_EQ(a.Paths.size(), 20u);
    EXPECT_FALSE(a.NextMarker);

    ServiceProcess doubled({"--double-src", "5"});
    const PageScan b = ScanPage(Get(doubled.Port(), kCatPage).Body);
    EXPECT_TRUE(b.Broken);
    EXPECT_EQ(b.Paths, std::vector<std::string>(a.Paths.begin(), a.Paths.begin() + 4));
}

TEST(ServiceFaults, SkipAnswersTheFirstRequestsNormally) {
    ServiceProcess service({"--status", "500", "--fault-skip", "2"});
    EXPECT_EQ(Get(service.Port(), kCatPage).Status, 200);
    EXPECT_EQ(Get(service.Port(), kCatPage).Status, 200);
    EXPECT_EQ(Get(service.Port(), kCatPage).Status, 500);

    ServiceProcess redirect({"--redirect-first", "--fault-skip", "1"});
    EXPECT_EQ(Get(redirect.Port(), kCatPage).Status, 200);
    EXPECT_EQ(Get(redirect.Port(), kCatPage).Status, 302);
    EXPECT_EQ(Get(redirect.Port(), kCatPage).Status, 200);
}

TEST(ServiceFaults, RetryAfterIsPassedThroughAsWritten) {
    for (const std::string value : {"120", "Wed, 21 Oct 2026 07:28:00 GMT", "-5", "soon!?", ""}) {
        ServiceProcess service({"--status", "503", "--retry-after", value, "--fault-count", "1"});
        const ParsedReply faulted = Get(service.Port(), kCatPage);
        EXPECT_EQ(faulted.Status, 503);
        ASSERT_EQ(faulted.Headers.count("retry-after"), 1u) << value;
        EXPECT_EQ(faulted.Header("retry-after"), value);
        // Answers without faults carry none.
        EXPECT_EQ(Get(service.Port(), kCatPage).Headers.count("retry-after"), 0u);
    }
}

TEST(ServiceFaults, FaultCountLimitsTheFaultedRequests) {
    const struct {
        std::vector<std::string> Args;
        std::vector<int> Statuses;
    } cases[] = {
        {{"--status", "503", "--fault-count", "2"}, {503, 503, 200, 200}},
        {{"--status", "429", "--fault-skip", "1", "--fault-count", "1"}, {200, 429, 200, 200}},
        {{"--status", "503", "--fault-count", "0"}, {200, 200, 200, 200}},
        {{"--status", "503"}, {503, 503, 503, 503}},
    };
    for (const auto& c : cases) {
        ServiceProcess service(c.Args);
        EXPECT_EQ(Statuses(service.Port(), {kCatPage, kCatPage, kCatPage, kCatPage}), c.Statuses)
            << c.Args.back();
    }
}

TEST(ServiceFaults, FaultOnChoosesTheRequestsFaultedAndCounted) {
    const std::string thumb = FirstThumbnail();
    const std::vector<std::string> targets = {kCatPage, thumb, "/", thumb, kCatPage};
    const struct {
        std::string Scope;
        std::vector<int> Statuses;
    } cases[] = {
        {"pages", {200, 200, 200, 200, 503}},
        {"thumbnails", {200, 200, 200, 503, 200}},
        {"all", {200, 503, 503, 503, 503}},
    };
    for (const auto& c : cases) {
        ServiceProcess service({"--status", "503", "--fault-on", c.Scope, "--fault-skip", "1"});
        EXPECT_EQ(Statuses(service.Port(), targets), c.Statuses) << c.Scope;
    }
}

TEST(ServiceFaults, ThumbDelayHoldsThumbnailsButNotPages) {
    ServiceProcess slow({"--thumb-delay", "600000"});
    const int fd = ConnectLoopback(slow.Port());
    const std::string request = Request(FirstThumbnail());
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    // A page is answered while the thumbnail waits.
    EXPECT_EQ(Get(slow.Port(), kCatPage).Status, 200);
    char byte;
    EXPECT_EQ(recv(fd, &byte, 1, MSG_DONTWAIT), -1);
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_EQ(slow.Stop(), 0);
    close(fd);

    ServiceProcess brief({"--thumb-delay", "20", "--status", "500", "--fault-on", "pages"});
    const ParsedReply image = Get(brief.Port(), FirstThumbnail());
    EXPECT_EQ(image.Status, 200);
    EXPECT_EQ(image.Header("content-type"), "image/png");
}

}  // namespace
}  // namespace zb::test
