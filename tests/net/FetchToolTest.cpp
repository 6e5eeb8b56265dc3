// The zunbarra-fetch program: output streams and exit status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "HttpTestSupport.h"

namespace zb {
namespace {

using zbtest::ReadFile;
using zbtest::ScriptedServer;
using zbtest::Step;
using zbtest::Url;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

RunResult RunFetch(const std::string& args) {
    const std::string out = zbtest::TempFile("fetch.out");
    const std::string err = zbtest::TempFile("fetch.err");
    const std::string command = std::string(ZB_FETCH_EXE) + " " + args + " >" + out + " 2>" + err;
    RunResult result;
    const int rc = std::system(command.c_str());
    result.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

TEST(FetchTool, SuccessWritesTheBodyToStdoutAndTheStatusLineToStderr) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello");
    const RunResult r = RunFetch("'" + Url(server, "/x") + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "hello");
    EXPECT_EQ(r.err, "HTTP/1.0 200 OK\r\n");
}

TEST(FetchTool, FailureStatusExitsOneAndFileOutputGoesToTheFile) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 404 Not Found\r\n\r\ngone");
    const std::string file = zbtest::TempFile("fetch-body.htm");
    const std::string header = zbtest::TempFile("fetch-head.txt");
    const RunResult r = RunFetch("-o " + file + " --header-out " + header + " " + Url(server, "/"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(file), "gone");
    EXPECT_EQ(ReadFile(header), "HTTP/1.0 404 Not Found\r\n\r\n");
    std::remove(file.c_str());
    std::remove(header.c_str());
}

TEST(FetchTool, VerbsDataCredentialsCookieAndProxy) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 201 Created\r\n\r\n");
    server.Respond("HTTP/1.0 302 Found\r\nLocation: /elsewhere\r\n\r\n");
    server.Respond("HTTP/1.0 399 Odd\r\n\r\n");
    const RunResult post =
        RunFetch("-X post --data 'a=1' --user joe:secret --cookie 'c=2' " + Url(server, "/form"));
    EXPECT_EQ(post.status, 0);
    const RunResult proxied =
        RunFetch("--proxy 127.0.0.1:" + std::to_string(server.Port()) + " http://far.invalid/");
    EXPECT_EQ(proxied.status, 1);  // the redirection lands on a status that raises no event
    server.Stop();
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].rfind("POST /form HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("Authorization: Basic am9lOnNlY3JldA==\r\n"), std::string::npos);
    EXPECT_NE(requests[0].find("Cookie: c=2\r\n"), std::string::npos);
    EXPECT_NE(requests[0].find("Content-Length: 3\r\n\r\na=1"), std::string::npos);
    EXPECT_EQ(requests[1].rfind("GET http://far.invalid/ HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(requests[2].rfind("GET http://far.invalid/elsewhere HTTP/1.0\r\n", 0), 0u);
}

TEST(FetchTool, ReportLevelShowsStatusTexts) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200 OK\r\n\r\n");
    const RunResult r = RunFetch("--report-level 2 " + Url(server, "/"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Transaction Completed\nHTTP/1.0 200 OK\r\n");
}

TEST(FetchTool, ErrorsExitTwoWithTheMessage) {
    int port = 0;
    {
        ScriptedServer probe;
        port = probe.Port();
    }
    const RunResult refused = RunFetch("http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "zunbarra-fetch: 10061:Connection refused\n");

    ScriptedServer silent;
    silent.AddConnection({{Step::Hold, ""}});
    const RunResult idle = RunFetch("--idle-timeout 200 " + Url(silent, "/"));
    EXPECT_EQ(idle.status, 2);
    EXPECT_EQ(idle.err, "zunbarra-fetch: Receive Timed Out\n");

    const RunResult usage = RunFetch("--timeout soon http://x/");
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("--timeout needs a number"), std::string::npos);
    EXPECT_NE(RunFetch("-X FETCH http://x/").err.find("unknown method 'FETCH'"), std::string::npos);
    EXPECT_EQ(RunFetch("").status, 2);
}

}  // namespace
}  // namespace zb
