// The socket session and its data transfer against the scripted loopback server.

#include <gtest/gtest.h>
#include <netdb.h>
#include <sys/stat.h>

#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "ScriptedServer.h"
#include "TestApp.h"
#include "net/TPowersock.h"

namespace zb {
namespace {

using zbtest::ScriptedServer;
using zbtest::Step;

class PowersockTest : public ::testing::Test {
protected:
    void SetUp() override { zbtest::EnsureApp(); }

    void ConnectTo(TPowersock& sock, const ScriptedServer& server) {
        sock.Host = "127.0.0.1";
        sock.Port = server.Port();
        sock.TimeOut = 5000;
        sock.IdleTimeOut = 10000;  // a broken test fails instead of hanging
        sock.Connect();
    }
};

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(PowersockTest, SessionCountAndSocketLayerInfo) {
    const int before = TPowersock::SessionCount();
    {
        TPowersock a;
        TPowersock b;
        EXPECT_EQ(TPowersock::SessionCount(), before + 2);
        // The first live session describes the socket layer in six lines.
        if (before == 0) {
            ASSERT_EQ(a.WinsockInfo().size(), 6u);
            EXPECT_EQ(a.WinsockInfo()[0].rfind("Version= ", 0), 0u);
            EXPECT_EQ(a.WinsockInfo()[5].rfind("Max Udp pack size= ", 0), 0u);
            EXPECT_TRUE(b.WinsockInfo().empty());
        }
    }
    EXPECT_EQ(TPowersock::SessionCount(), before);
}

TEST_F(PowersockTest, StatusTextsAreFilteredByLevel) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "hello\r\n"}, {Step::Close, ""}});
    TPowersock sock;
    std::vector<std::string> seen;
    sock.OnStatus = [&](TPowersock&, const std::string& status) { seen.push_back(status); };
    sock.ReportLevel = 4;
    ConnectTo(sock, server);
    EXPECT_EQ(sock.ReadLn(), "hello\r\n");
    sock.Disconnect();
    // Level 8 texts are filtered out at level 4, level-4 ones pass.
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Connecting"), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "Request Close Socket"), 1);
    EXPECT_EQ(sock.LastStatus(), "Request Close Socket");

    seen.clear();
    sock.ReportLevel = 8;
    sock.Cancel();
    EXPECT_EQ(seen, std::vector<std::string>{"Canceling"});
    sock.ReportLevel = 0;
    sock.Cancel();
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(PowersockTest, DestructionRaisesNoEvents) {
    auto seen = std::make_shared<std::vector<std::string>>();
    {
        ScriptedServer server;
        server.AddConnection({{Step::Hold, ""}});
        TPowersock sock;
        sock.ReportLevel = 16;
        ConnectTo(sock, server);
        sock.OnStatus = [seen](TPowersock&, const std::string& status) { seen->push_back(status); };
        sock.OnDisconnect = [seen](TPowersock&) { seen->push_back("disconnect"); };
    }
    EXPECT_TRUE(seen->empty());
}

TEST_F(PowersockTest, ReadLnSplitsAtLineFeedAndKeepsTheRest) {
    ScriptedServer server;
    std::string withNul("nul\0byte\n", 9);
    server.AddConnection({{Step::Send, "abc\r\ndef"},
                          {Step::SleepMs, "", 50},
                          {Step::Send, "ghi\n" + withNul},
                          {Step::Close, ""}});
    TPowersock sock;
    ConnectTo(sock, server);
    EXPECT_EQ(sock.ReadLn(), "abc\r\n");
    EXPECT_EQ(sock.ReadLn(), "defghi\n");
    EXPECT_EQ(sock.ReadLn(), withNul);
    // The peer closed without another line: an error, not a hang.
    EXPECT_THROW(sock.ReadLn(), ESockError);
}

TEST_F(PowersockTest, CaptureStringTakesEverythingUntilTheClose) {
    ScriptedServer server;
    std::string big(100000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + 3);
    server.AddConnection({{Step::Send, "head\n" + big}, {Step::Close, ""}});
    TPowersock sock;
    int packets = 0;
    sock.OnPacketRecvd = [&](TPowersock&) { ++packets; };
    ConnectTo(sock, server);
    EXPECT_EQ(sock.ReadLn(), "head\n");
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text.size(), big.size());
    EXPECT_TRUE(text == big);
    EXPECT_FALSE(sock.Connected());
    EXPECT_GT(packets, 0);
}

TEST_F(PowersockTest, CaptureStringWithMaximumStopsAfterTheChunkThatReachesIt) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "0123456789"}, {Step::Hold, ""}});
    TPowersock sock;
    ConnectTo(sock, server);
    std::string text;
    sock.CaptureString(text, 4);
    EXPECT_GE(text.size(), 4u);
    EXPECT_EQ(text, std::string("0123456789").substr(0, text.size()));
    sock.Disconnect();
}

TEST_F(PowersockTest, CaptureFileWritesBufferedBytesFirst) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "line\nearly"},
                          {Step::SleepMs, "", 50},
                          {Step::Send, "-late"},
                          {Step::Close, ""}});
    TPowersock sock;
    ConnectTo(sock, server);
    EXPECT_EQ(sock.ReadLn(), "line\n");
    const std::string file = zbtest::TempFile("capture.bin");
    sock.CaptureFile(file);
    EXPECT_EQ(ReadFile(file), "early-late");
    EXPECT_EQ(sock.BytesRecvd(), 10);
    std::remove(file.c_str());
}

TEST_F(PowersockTest, CaptureFileIntoAnUncreatableFileKeepsTheStreams) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "x\nrest"}, {Step::Close, ""}});
    TPowersock sock;
    ConnectTo(sock, server);
    EXPECT_EQ(sock.ReadLn(), "x\n");
    EXPECT_THROW(sock.CaptureFile("/nonexistent-dir/file"), EInOutError);
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, "rest");
}

TEST_F(PowersockTest, WriteSendsLongTextsWhole) {
    ScriptedServer server;
    server.AddConnection({{Step::Drain, ""}});
    std::string text(200000, 'a');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    text[100] = '\0';
    TPowersock sock;
    ConnectTo(sock, server);
    sock.Write(text);
    sock.Writeln("end");
    sock.Disconnect();
    server.Stop();
    const std::string got = server.Requests().at(0);
    EXPECT_EQ(got.size(), text.size() + 5);
    EXPECT_TRUE(got == text + "end\r\n");
}

TEST_F(PowersockTest, SendFileSendsTheFileAndEmptyFileReturns) {
    ScriptedServer server;
    server.AddConnection({{Step::Drain, ""}});
    const std::string file = zbtest::TempFile("send.bin");
    std::string content(70000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i % 251);
    std::ofstream(file, std::ios::binary) << content;
    const std::string empty = zbtest::TempFile("empty.bin");
    std::ofstream(empty, std::ios::binary).close();

    TPowersock sock;
    int packets = 0;
    sock.OnPacketSent = [&](TPowersock&) { ++packets; };
    ConnectTo(sock, server);
    sock.SendFile(file);
    EXPECT_EQ(sock.BytesSent(), 70000);
    EXPECT_EQ(sock.BytesTotal(), 70000);
    EXPECT_GE(packets, 5);  // at most 16,383 bytes a chunk
    sock.SendFile(empty);
    EXPECT_THROW(sock.SendFile("/nonexistent-dir/x"), EInOutError);
    sock.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Requests().at(0).size(), content.size());
    EXPECT_TRUE(server.Requests().at(0) == content);
    std::remove(file.c_str());
    std::remove(empty.c_str());
}

TEST_F(PowersockTest, SendFileOfADirectoryIsRefused) {
    ScriptedServer server;
    server.AddConnection({{Step::Drain, ""}});
    const std::string dir = zbtest::TempFile("send-dir");
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    TPowersock sock;
    ConnectTo(sock, server);
    EXPECT_THROW(sock.SendFile(dir), EInOutError);
    // The session is usable afterwards.
    sock.Write("after");
    sock.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Requests().at(0), "after");
    ::rmdir(dir.c_str());
}

TEST_F(PowersockTest, TransactionReadsTheReplyNumber) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "220 ready\r\n250 ok\r\n"}, {Step::Hold, ""}});
    TPowersock sock;
    sock.ReportLevel = 1;
    std::vector<std::string> seen;
    sock.OnStatus = [&](TPowersock&, const std::string& status) { seen.push_back(status); };
    ConnectTo(sock, server);
    EXPECT_EQ(sock.Transaction("HELO x"), "220 ready\r\n");
    EXPECT_EQ(sock.ReplyNumber(), 220);
    EXPECT_EQ(sock.LastReply(), "220 ready\r\n");
    EXPECT_EQ(seen, std::vector<std::string>{"220 ready\r\n"});
    sock.Transaction("NOOP");
    EXPECT_EQ(sock.ReplyNumber(), 250);
    sock.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Requests().at(0), "HELO x\r\nNOOP\r\n");
}

TEST_F(PowersockTest, PeerCloseRaisesDisconnectAndTheSessionConnectsAgain) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "one\n"}, {Step::Close, ""}});
    server.AddConnection({{Step::Send, "two\n"}, {Step::Close, ""}});
    TPowersock sock;
    int connects = 0;
    int disconnects = 0;
    sock.OnConnect = [&](TPowersock&) { ++connects; };
    sock.OnDisconnect = [&](TPowersock&) { ++disconnects; };
    ConnectTo(sock, server);
    try {
        sock.Connect();
        FAIL();
    } catch (const ESockError& e) {
        EXPECT_EQ(e.Message, "Already connected");
    }
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, "one\n");
    EXPECT_FALSE(sock.Connected());
    EXPECT_EQ(disconnects, 1);
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "two\n");
    EXPECT_EQ(connects, 2);
    EXPECT_EQ(ntohs(sock.RemoteAddress().sin_port), server.Port());
}

TEST_F(PowersockTest, FullReadsAreFollowedWithoutANewNotification) {
    ScriptedServer server;
    const std::string block(16383 * 3, 'q');
    server.AddConnection({{Step::Send, block}, {Step::Hold, ""}});
    TPowersock sock;
    int reads = 0;
    sock.OnRead = [&](TPowersock&) { ++reads; };
    ConnectTo(sock, server);
    std::string text;
    sock.CaptureString(text, static_cast<std::int64_t>(block.size()));
    EXPECT_TRUE(text == block);
    EXPECT_GE(reads, 3);
    sock.Disconnect();
}

TEST_F(PowersockTest, RefusedPortReportsTheErrorText) {
    int port = 0;
    {
        ScriptedServer probe;
        port = probe.Port();
    }
    TPowersock sock;
    sock.Host = "127.0.0.1";
    sock.Port = port;
    sock.TimeOut = 5000;
    int failed = 0;
    std::uint16_t errorNo = 0;
    sock.OnConnectionFailed = [&](TPowersock&) { ++failed; };
    sock.OnError = [&](TPowersock&, std::uint16_t err, const std::string&) { errorNo = err; };
    try {
        sock.Connect();
        FAIL();
    } catch (const ESockError& e) {
        EXPECT_EQ(e.Message, "10061:Connection refused");
    }
    EXPECT_EQ(errorNo, 10061);
    EXPECT_FALSE(sock.Connected());
    // The session can be used again at once.
    ScriptedServer server;
    server.AddConnection({{Step::Send, "ok\n"}, {Step::Close, ""}});
    sock.Port = server.Port();
    sock.Connect();
    EXPECT_EQ(sock.ReadLn(), "ok\n");
}

TEST_F(PowersockTest, ResetWhileReceivingEndsTheConnectionWithTheError) {
    ScriptedServer server;
    server.AddConnection({{Step::Send, "partial"}, {Step::SleepMs, "", 50}, {Step::Reset, ""}});
    TPowersock sock;
    std::string reported;
    sock.OnError = [&](TPowersock&, std::uint16_t, const std::string& message) {
        reported = message;
    };
    ConnectTo(sock, server);
    std::string text;
    sock.CaptureString(text, -1);
    EXPECT_EQ(text, "partial");
    EXPECT_EQ(reported, "10054:Connection reset by peer");
    EXPECT_FALSE(sock.Connected());
}

TEST_F(PowersockTest, SendingWithoutAConnectionIsAnErrorNotAHang) {
    TPowersock sock;
    try {
        sock.Write("hello");
        FAIL();
    } catch (const ESockError& e) {
        EXPECT_EQ(e.Message, "10057:Socket is not connected");
    }
    const std::string file = zbtest::TempFile("unsent.bin");
    std::ofstream(file, std::ios::binary) << "data";
    EXPECT_THROW(sock.SendFile(file), ESockError);
    std::remove(file.c_str());
}

TEST_F(PowersockTest, SendBufferWhileCanceledSendsNothing) {
    ScriptedServer server;
    server.AddConnection({{Step::Drain, ""}});
    TPowersock sock;
    ConnectTo(sock, server);
    sock.Cancel();
    sock.SendBuffer("abc", 3);
    EXPECT_TRUE(sock.Canceled());
    sock.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Requests().at(0), "");
}

TEST_F(PowersockTest, AcceptEndsOnCancel) {
    TPowersock sock;
    QTimer::singleShot(20, [&] { sock.Cancel(); });
    try {
        sock.Accept();
        FAIL();
    } catch (const ESockError& e) {
        EXPECT_EQ(e.Message, "Accepting Canceled");
    }
}

TEST_F(PowersockTest, CommonFailuresCarryTheirKindAndNumber) {
    // A name service that answers only when the test ends, so a lookup can time out.
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto hangingResolver = [release](const std::string&, std::uint32_t&) {
        for (int i = 0; i < 5000 && !release->load(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return EAI_AGAIN;
    };
    auto unknownResolver = [](const std::string&, std::uint32_t&) { return EAI_NONAME; };
    auto freePort = [] {
        ScriptedServer probe;
        return probe.Port();
    };
    struct Case {
        const char* name;
        std::function<void(TPowersock&)> run;
        SockErrorKind kind;
        int code;
        std::string message;
        std::string cause;  // message of the nested cause, empty for none
    };
    const std::vector<Case> cases = {
        {"refused",
         [&](TPowersock& sock) {
             sock.Host = "127.0.0.1";
             sock.Port = freePort();
             sock.Connect();
         },
         SockErrorKind::Refused, 10061, "10061:Connection refused", ""},
        {"connect time-out",
         [](TPowersock& sock) {
             ScriptedServer server(false);
             sock.Host = "127.0.0.1";
             sock.Port = server.Port();
             sock.TimeOut = 100;
             sock.Connect();
         },
         SockErrorKind::TimeOut, 0, "Connection Timed out", ""},
        {"lookup time-out",
         [&](TPowersock& sock) {
             zbtest::ResolverOverride resolver(hangingResolver);
             sock.Host = "slow.invalid";
             sock.TimeOut = 100;
             sock.Connect();
         },
         SockErrorKind::TimeOut, 0, "Host Lookup Timed Out", ""},
        {"unknown host",
         [&](TPowersock& sock) {
             zbtest::ResolverOverride resolver(unknownResolver);
             sock.Host = "no.such.host.invalid";
             sock.Connect();
         },
         SockErrorKind::Lookup, 11001, "Null Remote Address", "Host Lookup Failed"},
        {"reset by peer",
         [this](TPowersock& sock) {
             ScriptedServer server;
             server.AddConnection(
                 {{Step::Send, "partial"}, {Step::SleepMs, "", 50}, {Step::Reset, ""}});
             ConnectTo(sock, server);
             sock.ReadLn();
         },
         SockErrorKind::Reset, 10054, "10054:Connection reset by peer", ""},
        {"not connected", [](TPowersock& sock) { sock.Write("hello"); }, SockErrorKind::Closed,
         10057, "10057:Socket is not connected", ""},
        {"canceled",
         [this](TPowersock& sock) {
             ScriptedServer server;
             server.AddConnection({{Step::Hold, ""}});
             ConnectTo(sock, server);
             QTimer::singleShot(20, [&] { sock.Cancel(); });
             sock.ReadLn();
         },
         SockErrorKind::Aborted, 0, "Socket readln aborted", ""},
        {"line too long",
         [this](TPowersock& sock) {
             ScriptedServer server;
             server.AddConnection({{Step::Send, std::string(64, 'x')}, {Step::Hold, ""}});
             ConnectTo(sock, server);
             sock.MaxLineLength = 16;
             sock.ReadLn();
         },
         SockErrorKind::Protocol, 0, "Line too long: more than 16 bytes without a line end", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPowersock sock;
        try {
            c.run(sock);
            ADD_FAILURE() << "no error";
        } catch (const ESockError& e) {
            EXPECT_EQ(e.Kind(), c.kind);
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_EQ(e.Message, c.message);
            std::string cause;
            try {
                std::rethrow_if_nested(e);
            } catch (const ESockError& nested) {
                cause = nested.Message;
                EXPECT_EQ(nested.Code(), c.code);
            }
            EXPECT_EQ(cause, c.cause);
        }
    }
    release->store(true);
}

TEST_F(PowersockTest, NegativeTimeOutIsARangeError) {
    ScriptedServer server;
    TPowersock sock;
    sock.Host = "127.0.0.1";
    sock.Port = server.Port();
    sock.TimeOut = -1;
    EXPECT_THROW(sock.Connect(), Exception);
}

}  // namespace
}  // namespace zb
