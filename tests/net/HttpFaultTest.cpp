// Faults: broken bodies, silent servers, refused and unresolvable hosts, time-outs, cancels,
// over-long header lines.

#include <arpa/inet.h>
#include <netdb.h>

#include <QTimer>
#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "HttpTestSupport.h"

namespace zb {
namespace {

using zbtest::HttpTest;
using zbtest::ReadFile;
using zbtest::ResolverOverride;
using zbtest::ScriptedServer;
using zbtest::Step;
using zbtest::Url;

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(no exception)";
}

TEST_F(HttpTest, ResetInTheMiddleOfTheBodyIsAnErrorAndKeepsThePartialFile) {
    ScriptedServer server;
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::Send, "HTTP/1.0 200 OK\r\n\r\nfirst part"},
                          {Step::SleepMs, "", 100},
                          {Step::Reset, ""}});
    const std::string file = zbtest::TempFile("partial.htm");
    http.InputFileMode = true;
    http.Body = file;
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }),
              "The connection broke before the body was complete: 10054:Connection reset by peer");
    EXPECT_EQ(outcome.success, 0);
    EXPECT_EQ(ReadFile(file), "first part");
    std::remove(file.c_str());
}

TEST_F(HttpTest, BodyShorterThanContentLengthIsAnError) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly this");
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }),
              "The connection closed before the body was complete (9 of 100 bytes)");
    EXPECT_EQ(http.Body, "only this");
    EXPECT_EQ(outcome.success, 0);
}

TEST_F(HttpTest, ServerThatNeverAnswersEndsByTheIdleTimeOut) {
    ScriptedServer server;
    server.AddConnection({{Step::Hold, ""}});
    http.IdleTimeOut = 300;
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Receive Timed Out");
    EXPECT_FALSE(http.Connected());
    // The session is usable afterwards.
    server.Respond("HTTP/1.0 200 OK\r\n\r\nback");
    http.Get(Url(server, "/"));
    EXPECT_EQ(http.Body, "back");
}

TEST_F(HttpTest, ServerThatStallsInTheBodyEndsByTheIdleTimeOut) {
    ScriptedServer server;
    server.AddConnection(
        {{Step::ReadRequest, ""}, {Step::Send, "HTTP/1.0 200 OK\r\n\r\nsome"}, {Step::Hold, ""}});
    http.IdleTimeOut = 300;
    http.InputFileMode = true;
    http.Body = zbtest::TempFile("stall.htm");
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Receive Timed Out");
    EXPECT_EQ(ReadFile(http.Body), "some");
    std::remove(http.Body.c_str());
}

TEST_F(HttpTest, ServerThatNeverAcceptsEndsByTheConnectTimeOut) {
    ScriptedServer server(false);
    http.TimeOut = 300;
    int failed = 0;
    http.OnConnectionFailed = [&](TPowersock&) { ++failed; };
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Connection Timed out");
    EXPECT_TRUE(http.TimedOut());
    EXPECT_EQ(failed, 1);
}

TEST_F(HttpTest, RefusedPort) {
    int port = 0;
    {
        ScriptedServer probe;
        port = probe.Port();
    }
    EXPECT_EQ(MessageOf([&] { http.Get("http://127.0.0.1:" + std::to_string(port) + "/"); }),
              "10061:Connection refused");
}

TEST_F(HttpTest, UnresolvableHostGivesNullRemoteAddress) {
    ResolverOverride resolver([](const std::string&, std::uint32_t&) { return EAI_NONAME; });
    EXPECT_EQ(MessageOf([&] { http.Get("http://no.such.host.invalid/"); }), "Null Remote Address");
}

TEST_F(HttpTest, SlowHostLookupEndsByTheTimeOut) {
    ResolverOverride resolver([](const std::string&, std::uint32_t&) {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        return EAI_AGAIN;
    });
    http.TimeOut = 200;
    EXPECT_EQ(MessageOf([&] { http.Get("http://slow.example.invalid/"); }),
              "Host Lookup Timed Out");
}

TEST_F(HttpTest, InvalidHostHandlerGetsExactlyOneRetry) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200 OK\r\n\r\nfixed");
    std::vector<std::string> asked;
    ResolverOverride resolver([&](const std::string& name, std::uint32_t& address) {
        asked.push_back(name);
        if (name != "good.invalid") return EAI_NONAME;
        address = htonl(INADDR_LOOPBACK);
        return 0;
    });
    int calls = 0;
    int resolved = 0;
    http.OnHostResolved = [&](TPowersock&) { ++resolved; };
    http.OnInvalidHost = [&](bool& handled) {
        ++calls;
        http.Host = "good.invalid";
        handled = true;
    };
    http.Get("http://bad.invalid:" + std::to_string(server.Port()) + "/");
    EXPECT_EQ(http.Body, "fixed");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(resolved, 1);
    EXPECT_EQ(asked, (std::vector<std::string>{"bad.invalid", "good.invalid"}));

    http.OnInvalidHost = [&](bool& handled) {
        ++calls;
        handled = true;  // but Host stays wrong
    };
    EXPECT_EQ(MessageOf([&] { http.Get("http://bad.invalid/"); }), "Null Remote Address");
    EXPECT_EQ(calls, 2);
}

TEST_F(HttpTest, NumericHostNeedsNoLookup) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200 OK\r\n\r\n");
    ResolverOverride resolver([](const std::string&, std::uint32_t&) -> int {
        ADD_FAILURE() << "looked up";
        return EAI_FAIL;
    });
    int resolved = 0;
    http.OnHostResolved = [&](TPowersock&) { ++resolved; };
    http.Get(Url(server, "/"));
    EXPECT_EQ(resolved, 0);
}

TEST_F(HttpTest, HeaderLineWithoutEndIsCapped) {
    ScriptedServer server;
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::Send, "HTTP/1.0 200 OK\r\nX-Long: " + std::string(300000, 'x')},
                          {Step::Hold, ""}});
    const std::string message = MessageOf([&] { http.Get(Url(server, "/")); });
    EXPECT_EQ(message.rfind("Line too long", 0), 0u) << message;
    EXPECT_FALSE(http.Connected());
}

TEST_F(HttpTest, EndlessHeaderIsCapped) {
    ScriptedServer server;
    std::string lines;
    for (int i = 0; i < 30000; ++i)
        lines += "X-Filler: " + std::string(40, 'f') + "\r\n";
    server.AddConnection(
        {{Step::ReadRequest, ""}, {Step::Send, "HTTP/1.0 200 OK\r\n" + lines}, {Step::Hold, ""}});
    const std::string message = MessageOf([&] { http.Get(Url(server, "/")); });
    EXPECT_EQ(message.rfind("Response header too long", 0), 0u) << message;
}

// A handler that throws inside a pump: the exception is swallowed and the transfer goes on, for
// this request and for the next one on the same session.
TEST_F(HttpTest, HandlerThrowingInsideAPumpDoesNotStopTheTransfer) {
    using TArm = std::function<void(TNMHTTP&, int&)>;
    auto onStatus = [](const char* text) -> TArm {
        return [text](TNMHTTP& client, int& thrown) {
            client.ReportLevel = 8;
            client.OnStatus = [text, &thrown](TPowersock&, const std::string& status) {
                if (status != text) return;
                ++thrown;
                throw Exception("status handler");
            };
        };
    };
    const std::pair<const char*, TArm> cases[] = {
        {"OnPacketRecvd",
         [](TNMHTTP& client, int& thrown) {
             client.OnPacketRecvd = [&thrown](TPowersock&) {
                 ++thrown;
                 throw Exception("received handler");
             };
         }},
        {"OnPacketSent",
         [](TNMHTTP& client, int& thrown) {
             client.OnPacketSent = [&thrown](TPowersock&) {
                 ++thrown;
                 throw Exception("sent handler");
             };
         }},
        {"OnStatus ReadToStream", onStatus("ReadToStream")},
        {"OnStatus WriteFromStream", onStatus("WriteFromStream")},
    };
    // The request body comes from a file so that the send runs with packet events on.
    const std::string data = zbtest::TempFile("pump.dat");
    std::ofstream(data, std::ios::binary) << "payload";
    for (const auto& [name, arm] : cases) {
        SCOPED_TRACE(name);
        TNMHTTP client;
        client.TimeOut = 5000;
        client.IdleTimeOut = 3000;
        client.OutputFileMode = true;
        client.Header = zbtest::TempFile("pump-head.txt");
        int thrown = 0;
        arm(client, thrown);
        ScriptedServer server;
        // The body comes after a pause, so that it is received while the body is captured.
        for (const char* body : {"first", "second"}) {
            server.AddConnection({{Step::ReadRequest, ""},
                                  {Step::Send, "HTTP/1.0 200 OK\r\n\r\n"},
                                  {Step::SleepMs, "", 100},
                                  {Step::Send, body},
                                  {Step::Close, ""}});
        }
        for (const char* body : {"first", "second"}) {
            EXPECT_EQ(MessageOf([&] { client.Post(Url(server, "/"), data); }), "(no exception)");
            EXPECT_EQ(client.Body, body);
        }
        EXPECT_GT(thrown, 0);
        std::remove(client.Header.c_str());
    }
    std::remove(data.c_str());
}

// Cancel from inside each wait, the way a window's button would.
class CancelTest : public HttpTest {
protected:
    void CancelAfter(int ms) {
        QTimer::singleShot(ms, [this] { http.Cancel(); });
    }
};

TEST_F(CancelTest, DuringTheHostLookup) {
    ResolverOverride resolver([](const std::string&, std::uint32_t&) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        return EAI_AGAIN;
    });
    CancelAfter(50);
    EXPECT_EQ(MessageOf([&] { http.Get("http://slow.invalid/"); }), "Host Lookup Canceled");
}

TEST_F(CancelTest, DuringConnectionSetUp) {
    ScriptedServer server(false);
    http.TimeOut = 0;
    CancelAfter(50);
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Connection Canceled");
}

TEST_F(CancelTest, WhileReadingTheHeader) {
    ScriptedServer server;
    server.AddConnection({{Step::ReadRequest, ""}, {Step::Send, "HTTP/1.0 200"}, {Step::Hold, ""}});
    http.IdleTimeOut = 0;
    CancelAfter(100);
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Socket readln aborted");
    EXPECT_FALSE(http.Connected());
}

TEST_F(CancelTest, WhileCapturingIntoText) {
    ScriptedServer server;
    server.AddConnection(
        {{Step::ReadRequest, ""}, {Step::Send, "HTTP/1.0 200 OK\r\n\r\nabc"}, {Step::Hold, ""}});
    http.IdleTimeOut = 0;
    CancelAfter(100);
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Socket capture aborted");
    EXPECT_FALSE(http.Canceled());
    EXPECT_EQ(http.Body, "abc");
}

TEST_F(CancelTest, WhileCapturingIntoAFile) {
    ScriptedServer server;
    server.AddConnection(
        {{Step::ReadRequest, ""}, {Step::Send, "HTTP/1.0 200 OK\r\n\r\nxyz"}, {Step::Hold, ""}});
    http.IdleTimeOut = 0;
    http.InputFileMode = true;
    http.Body = zbtest::TempFile("cancel.htm");
    CancelAfter(100);
    EXPECT_EQ(MessageOf([&] { http.Get(Url(server, "/")); }), "Socket send aborted");
    EXPECT_EQ(ReadFile(http.Body), "xyz");
    std::remove(http.Body.c_str());
}

TEST_F(CancelTest, WhileSending) {
    // A server that never reads: a large request fills the socket buffers and the send waits.
    ScriptedServer server;
    server.AddConnection({{Step::SleepMs, "", 3000}});
    http.IdleTimeOut = 0;
    // Counted from the connection, so a slow connect on a busy machine cannot be cancelled
    // instead of the send.
    http.OnConnect = [this](TPowersock&) { CancelAfter(200); };
    EXPECT_EQ(MessageOf([&] { http.Put(Url(server, "/"), std::string(64 << 20, 'b')); }),
              "Socket send aborted");
    EXPECT_FALSE(http.Connected());
}

TEST_F(HttpTest, SendStallEndsByTheIdleTimeOut) {
    ScriptedServer server;
    server.AddConnection({{Step::SleepMs, "", 3000}});
    http.IdleTimeOut = 300;
    EXPECT_EQ(MessageOf([&] { http.Put(Url(server, "/"), std::string(64 << 20, 'b')); }),
              "Send Timed Out");
}

}  // namespace
}  // namespace zb
