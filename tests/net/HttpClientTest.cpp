// Requests the HTTP client sends and responses it reads, against the scripted server.

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "HttpTestSupport.h"

namespace zb {
namespace {

using zbtest::HttpTest;
using zbtest::kStandardLines;
using zbtest::ReadFile;
using zbtest::ScriptedServer;
using zbtest::Step;
using zbtest::Url;

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";

TEST_F(HttpTest, GetSendsTheRequestLineAndHeaderInOrder) {
    ScriptedServer server;
    server.Respond(kOk + "<html>page</html>");
    http.HeaderInfo.LocalProgram = "zb-test/1";
    http.HeaderInfo.LocalMailAddress = "me@example.org";
    http.HeaderInfo.Referer = "http://ref.example/";
    http.Get(Url(server, "/dir/sub/file.htm?q=a+b&n=1"));
    server.Stop();
    EXPECT_EQ(server.Requests().at(0),
              "GET /dir/sub/file.htm?q=a+b&n=1 HTTP/1.0\r\n"
              "Host: 127.0.0.1\r\n" +
                  kStandardLines.substr(0, kStandardLines.find("Content-type")) +
                  "User-Agent: zb-test/1\r\n"
                  "From: me@example.org\r\n"
                  "Referer: http://ref.example/\r\n"
                  "Content-type: application/x-www-form-urlencoded\r\n\r\n");
    EXPECT_EQ(http.Body, "<html>page</html>");
    EXPECT_EQ(http.Header, kOk);
    EXPECT_EQ(http.ReplyNumber(), 200);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_EQ(outcome.lastCmd, CmdGET);
    EXPECT_EQ(http.Host, "127.0.0.1");
    EXPECT_EQ(http.Port, server.Port());
}

TEST_F(HttpTest, EmptyHeaderInfoSendsOnlyTheFixedLines) {
    ScriptedServer server;
    server.Respond(kOk);
    http.Get(Url(server, ""));
    server.Stop();
    EXPECT_EQ(server.Requests().at(0),
              "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kStandardLines + "\r\n");
    EXPECT_EQ(http.URL(), Url(server, "/"));
    EXPECT_EQ(http.Path(), "/");
}

TEST_F(HttpTest, ProxyRequestCarriesTheAbsoluteURL) {
    ScriptedServer proxy;
    proxy.Respond(kOk + "via proxy");
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy.Port();
    http.Get("http://www.example.invalid:8080/images?q=x");
    proxy.Stop();
    EXPECT_EQ(proxy.Requests().at(0),
              "GET http://www.example.invalid:8080/images?q=x HTTP/1.0\r\n"
              "Proxy-Connection: Keep-Alive\r\n"
              "Host: www.example.invalid\r\n" +
                  kStandardLines + "\r\n");
    EXPECT_EQ(http.Body, "via proxy");
    EXPECT_EQ(http.Port, 8080);
}

TEST_F(HttpTest, ResponseSplitIntoSingleBytesWithLfOnlyLineEnds) {
    ScriptedServer server;
    const std::string body = "line1\nline2\n\x82\xa0 end";
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::SendBytewise, "HTTP/1.0 200 OK\nServer: t\nContent-Length: " +
                                                   std::to_string(body.size()) + "\n\n" + body},
                          {Step::Close, ""}});
    const std::string file = zbtest::TempFile("bytewise.htm");
    http.InputFileMode = true;
    http.Body = file;
    http.Get(Url(server, "/x"));
    EXPECT_EQ(ReadFile(file), body);
    EXPECT_EQ(http.Header, "HTTP/1.0 200 OK\nServer: t\nContent-Length: 18\n\n");
    EXPECT_EQ(http.BytesTotal(), 18);
    EXPECT_EQ(outcome.success, 1);
    std::remove(file.c_str());
}

TEST_F(HttpTest, BodyInTheSamePacketAsTheHeaderWithoutContentLength) {
    ScriptedServer server;
    std::string body(50000, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i % 253);
    server.Respond(kOk + body);
    const std::string file = zbtest::TempFile("samepacket.bin");
    http.InputFileMode = true;
    http.Body = file;
    bool closedBeforeSuccess = false;
    http.OnSuccess = [&](CmdType) { closedBeforeSuccess = ReadFile(file) == body; };
    http.Get(Url(server, "/bin"));
    EXPECT_TRUE(closedBeforeSuccess);
    EXPECT_FALSE(http.HasContentLength());
    std::remove(file.c_str());
}

TEST_F(HttpTest, InterimResponsesArePassedOver) {
    ScriptedServer server;
    server.Respond("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX: y\r\n\r\n" + kOk +
                   "final");
    http.Get(Url(server, "/"));
    EXPECT_EQ(http.ReplyNumber(), 200);
    EXPECT_EQ(http.Body, "final");
    EXPECT_EQ(outcome.success, 1);
}

TEST_F(HttpTest, StatusLineWithoutReasonAndBlanksAfterTheColon) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 200\r\ncontent-length:    4\r\nSet-Cookie:id=7\r\n\r\nbodyEXTRA");
    http.Get(Url(server, "/"));
    EXPECT_EQ(http.ReplyNumber(), 200);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_EQ(http.Body, "body");
    EXPECT_EQ(http.ReceivedCookie(), "id=7");
}

TEST_F(HttpTest, GarbageStatusLineIsAnError) {
    ScriptedServer server;
    server.Respond("<html>no status line</html>\n\n");
    EXPECT_THROW(http.Get(Url(server, "/")), ESockError);
    EXPECT_EQ(outcome.success, 0);
    EXPECT_FALSE(http.Connected());
}

TEST_F(HttpTest, NotFoundRaisesFailureOnly) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 404 Not Found\r\n\r\nmissing");
    http.Get(Url(server, "/nothing"));
    EXPECT_EQ(outcome.failure, 1);
    EXPECT_EQ(outcome.success, 0);
    EXPECT_EQ(outcome.auth, 0);
    EXPECT_EQ(http.Body, "missing");
}

TEST_F(HttpTest, StatusesAtTheEdgesRaiseNoEvent) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 299 Odd\r\n\r\n");
    server.Respond("HTTP/1.0 399 Odd\r\n\r\n");
    http.Get(Url(server, "/a"));
    http.Get(Url(server, "/b"));
    EXPECT_EQ(outcome.success + outcome.failure, 0);
    EXPECT_EQ(server.Accepted(), 2);
}

TEST_F(HttpTest, UnauthorizedRaisesFailureThenAuthenticationNeeded) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"x\"\r\n\r\n");
    std::string order;
    http.OnFailure = [&](CmdType) { order += "failure;"; };
    http.OnAuthenticationNeeded = [&](TPowersock& s) {
        order += s.Connected() ? "auth-connected;" : "auth;";
    };
    http.Get(Url(server, "/secret"));
    EXPECT_EQ(order, "failure;auth;");
}

TEST_F(HttpTest, LongCredentialsStayOnOneAuthorizationLine) {
    ScriptedServer server;
    server.Respond(kOk);
    http.HeaderInfo.UserId = std::string(40, 'u');
    http.HeaderInfo.Password = std::string(30, 'p');
    http.Get(Url(server, "/"));
    server.Stop();
    const std::string request = server.Requests().at(0);
    const std::string expected =
        "Authorization: Basic "
        "dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dXV1dTpwcHBwcHBwcHBwcHBwcHBwcHBwcHBwcHBwcH"
        "BwcHA=\r\n";
    EXPECT_NE(request.find(expected), std::string::npos) << request;
}

TEST_F(HttpTest, LongPathAndLongPostDataAreSentWhole) {
    ScriptedServer server;
    server.Respond(kOk);
    const std::string path = "/search?q=" + std::string(600, 'k');
    std::string data(40000, 'd');
    data[5] = '+';
    http.Post(Url(server, path), data);
    server.Stop();
    std::string decoded = data;
    decoded[5] = ' ';
    const std::string request = server.Requests().at(0);
    EXPECT_EQ(request.rfind("POST " + path + " HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(request.find("Content-Length: 40000\r\n\r\n" + decoded), std::string::npos);
    EXPECT_EQ(request.size(), request.find("\r\n\r\n") + 4 + decoded.size());
    EXPECT_EQ(outcome.lastCmd, CmdGET);  // the request kind reads GET after sending
}

TEST_F(HttpTest, PostWithEmptyDataDoesNotWait) {
    ScriptedServer server;
    server.Respond(kOk + "done");
    http.Post(Url(server, "/form"), "");
    EXPECT_EQ(http.Body, "done");
    server.Stop();
    EXPECT_NE(server.Requests().at(0).find("Content-Length: 0\r\n"), std::string::npos);
}

TEST_F(HttpTest, VerbsAndTheirExtraLines) {
    ScriptedServer server;
    for (int i = 0; i < 10; ++i)
        server.Respond(kOk);
    const std::string u = Url(server, "/r");
    http.Put(u, "P");
    http.Patch(u, "pa");
    http.Trace(u, "t");
    http.Options(u);
    http.Delete(u);
    http.Copy(u, "/dest");
    http.Move(u, "/moved");
    http.Link(u, "<l>");
    http.Unlink(u, "<u>");
    server.Stop();
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 9u);
    EXPECT_EQ(requests[0].rfind("PUT /r HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(requests[0].find("Content-Length: 1\r\n\r\nP"), std::string::npos);
    EXPECT_EQ(requests[1].rfind("PATCH /r", 0), 0u);
    EXPECT_NE(requests[2].find("Content-Length: 1\r\n\r\nt"), std::string::npos);
    EXPECT_EQ(requests[3].rfind("OPTIONS /r", 0), 0u);
    EXPECT_EQ(requests[3].find("Content-Length"), std::string::npos);
    EXPECT_EQ(requests[4].rfind("DELETE /r", 0), 0u);
    EXPECT_NE(requests[5].find("\r\nURI-header: /dest\r\n"), std::string::npos);
    EXPECT_EQ(requests[6].rfind("MOVE /r", 0), 0u);
    EXPECT_NE(requests[6].find("\r\nURI-header: /moved\r\n"), std::string::npos);
    // Link and Unlink send no body and announce none.
    EXPECT_NE(requests[7].find("\r\nLink: <l>\r\n\r\n"), std::string::npos);
    EXPECT_EQ(requests[7].find("Content-Length"), std::string::npos);
    EXPECT_EQ(requests[8].rfind("UNLINK /r", 0), 0u);
    EXPECT_EQ(requests[8].size(), requests[8].find("\r\n\r\n") + 4);
}

TEST_F(HttpTest, OutputFileModeSendsTheFileAndWritesTheHeaderFile) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 201 Created\r\nX-A: 1\r\n\r\nok");
    const std::string dataFile = zbtest::TempFile("post.dat");
    const std::string headerFile = zbtest::TempFile("head.txt");
    std::ofstream(dataFile, std::ios::binary) << "a+b%41";
    http.OutputFileMode = true;
    http.Header = headerFile;
    http.Post(Url(server, "/up"), dataFile);
    server.Stop();
    // With a file the data is sent as it is, not decoded.
    EXPECT_NE(server.Requests().at(0).find("Content-Length: 6\r\n\r\na+b%41"), std::string::npos);
    EXPECT_EQ(ReadFile(headerFile), "HTTP/1.0 201 Created\r\nX-A: 1\r\n\r\n");
    EXPECT_EQ(http.Header, headerFile);
    EXPECT_THROW(http.Post(Url(server, "/up"), "/nonexistent-dir/x"), EInOutError);
    std::remove(dataFile.c_str());
    std::remove(headerFile.c_str());
}

TEST_F(HttpTest, DirectoryAsTheRequestBodyFileIsRefusedBeforeSending) {
    ScriptedServer server;
    const std::string dir = zbtest::TempFile("body-dir");
    ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
    http.OutputFileMode = true;
    http.Header = zbtest::TempFile("dir-head.txt");
    try {
        http.Post(Url(server, "/up"), dir);
        ADD_FAILURE() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message, "Cannot open file \"" + dir + "\". " + std::strerror(EISDIR));
    }
    server.Stop();
    EXPECT_EQ(server.Accepted(), 0);
    EXPECT_EQ(outcome.success, 0);
    ::rmdir(dir.c_str());
}

TEST_F(HttpTest, DestructionRaisesNoEventsAtAnyReportLevel) {
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "connected" : "idle");
        auto seen = std::make_shared<std::vector<std::string>>();
        {
            ScriptedServer server;
            server.AddConnection({{Step::Hold, ""}});
            TNMHTTP client;
            if (connected) {
                client.Host = "127.0.0.1";
                client.Port = server.Port();
                client.TimeOut = 5000;
                client.Connect();
            }
            client.ReportLevel = 255;
            auto note = [seen](const char* what) {
                return [seen, what](auto&&...) { seen->push_back(what); };
            };
            client.OnStatus = [seen](TPowersock&, const std::string& status) {
                seen->push_back("status " + status);
            };
            client.OnDisconnect = note("disconnect");
            client.OnConnect = note("connect");
            client.OnConnectionFailed = note("connection failed");
            client.OnRead = note("read");
            client.OnError = note("error");
            client.OnAbortRead = note("abort read");
            client.OnPacketRecvd = note("packet received");
            client.OnPacketSent = note("packet sent");
            client.OnAboutToSend = note("about to send");
            client.OnSuccess = note("success");
            client.OnFailure = note("failure");
            client.OnRedirect = note("redirect");
            client.OnAuthenticationNeeded = note("authentication needed");
        }
        EXPECT_EQ(*seen, std::vector<std::string>{});
    }
}

TEST_F(HttpTest, HeadAndKeepAliveServersEndByTheResponse) {
    ScriptedServer server;
    // Servers that keep the connection open after the response: the client must not wait.
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::Send, "HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n"},
                          {Step::Hold, ""}});
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::Send, "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nabc"},
                          {Step::Hold, ""}});
    server.AddConnection({{Step::ReadRequest, ""},
                          {Step::Send, "HTTP/1.0 204 No Content\r\n\r\n"},
                          {Step::Hold, ""}});
    http.IdleTimeOut = 0;
    http.Head(Url(server, "/h"));
    EXPECT_EQ(http.Body, "");
    EXPECT_EQ(http.BytesTotal(), 5000);
    http.Get(Url(server, "/g"));
    EXPECT_EQ(http.Body, "abc");
    http.Get(Url(server, "/n"));
    EXPECT_EQ(http.Body, "");
    EXPECT_EQ(outcome.success, 3);
}

TEST_F(HttpTest, ParseURLPortsAndHosts) {
    http.SetURL("gopher://g.example/x");
    http.ParseURL();
    EXPECT_EQ(http.Port, 70);
    EXPECT_EQ(http.Host, "g.example");
    http.SetURL("FTP://f.example");
    http.ParseURL();
    EXPECT_EQ(http.Port, 21);
    EXPECT_EQ(http.Path(), "/");
    EXPECT_EQ(http.URL(), "FTP://f.example/");
    http.SetURL("http://h.example:8080/a/b?c=d");
    http.ParseURL();
    EXPECT_EQ(http.Port, 8080);
    EXPECT_EQ(http.Host, "h.example");
    EXPECT_EQ(http.Path(), "/a/b?c=d");
    http.SetURL("http://h.example/");
    http.ParseURL();
    EXPECT_EQ(http.URL(), "http://h.example/");  // no second slash
    EXPECT_EQ(http.Path(), "/");
    http.SetURL("/only/path");
    http.ParseURL();
    EXPECT_EQ(http.Host, "h.example");  // a rooted URL keeps the server
    EXPECT_EQ(http.Path(), "/only/path");
    http.SetURL("http://h.example:80x/");
    try {
        http.ParseURL();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "'80x' は整数ではありません");
    }
    try {
        http.Get("");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Empty URL");
    }
}

}  // namespace
}  // namespace zb
