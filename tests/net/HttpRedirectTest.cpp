// Redirections: Location forms, cookies carried across, OnRedirect, the redirection bound.

#include "HttpTestSupport.h"

namespace zb {
namespace {

using zbtest::HttpTest;
using zbtest::Outcome;
using zbtest::ScriptedServer;
using zbtest::Url;

std::string RequestLine(const std::string& request) {
    return request.substr(0, request.find("\r\n"));
}

TEST_F(HttpTest, FollowsAbsoluteRootedAndBareLocations) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 302 Found\r\nLocation: " + Url(server, "/abs?x=1") + "\r\n\r\nmoved");
    server.Respond("HTTP/1.0 301 Moved\r\nLocation: /rooted/page\r\n\r\n");
    server.Respond("HTTP/1.0 302 Found\r\nlocation:   bare.htm\r\n\r\n");
    server.Respond("HTTP/1.0 200 OK\r\n\r\nlanded");
    int redirects = 0;
    http.OnRedirect = [&](bool&) { ++redirects; };
    http.Get(Url(server, "/start"));
    server.Stop();
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(RequestLine(requests[0]), "GET /start HTTP/1.0");
    EXPECT_EQ(RequestLine(requests[1]), "GET /abs?x=1 HTTP/1.0");
    EXPECT_EQ(RequestLine(requests[2]), "GET /rooted/page HTTP/1.0");
    EXPECT_EQ(RequestLine(requests[3]), "GET /bare.htm HTTP/1.0");
    EXPECT_EQ(http.Body, "landed");
    EXPECT_EQ(redirects, 3);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_EQ(http.URL(), Url(server, "/bare.htm"));
}

TEST_F(HttpTest, LongLocationIsFollowedWhole) {
    ScriptedServer server;
    const std::string target = "/next?q=" + std::string(700, 'z');
    server.Respond("HTTP/1.0 302 Found\r\nLocation: " + target + "\r\n\r\n");
    server.Respond("HTTP/1.0 200 OK\r\n\r\n");
    http.Get(Url(server, "/"));
    server.Stop();
    EXPECT_EQ(RequestLine(server.Requests().at(1)), "GET " + target + " HTTP/1.0");
}

TEST_F(HttpTest, CookieOfARedirectionGoesWithTheNextRequest) {
    ScriptedServer server;
    const std::string cookie = "session=" + std::string(300, 'c') + "; Path=/";
    server.Respond("HTTP/1.0 302 Found\r\nSet-Cookie: " + cookie + "\r\nLocation: /in\r\n\r\n");
    server.Respond("HTTP/1.0 200 OK\r\nSet-Cookie: later=1\r\n\r\n");
    http.Get(Url(server, "/login"));
    server.Stop();
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].find("Cookie:"), std::string::npos);
    EXPECT_NE(requests[1].find("\r\nCookie: " + cookie + "\r\n"), std::string::npos);
    // A cookie on a final response stays in ReceivedCookie only.
    EXPECT_EQ(http.ReceivedCookie(), "later=1");
    EXPECT_EQ(http.HeaderInfo.Cookie, cookie);
}

TEST_F(HttpTest, HandledRedirectEndsTheRequest) {
    ScriptedServer server;
    server.Respond("HTTP/1.0 303 See Other\r\nLocation: /elsewhere\r\n\r\n");
    http.OnRedirect = [](bool& handled) { handled = true; };
    http.Get(Url(server, "/"));
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_EQ(http.URL(), "/elsewhere");
    EXPECT_EQ(outcome.success + outcome.failure, 0);
}

TEST_F(HttpTest, EndlessRedirectionStopsWithAnError) {
    ScriptedServer server;
    for (int i = 0; i < 25; ++i)
        server.Respond("HTTP/1.0 302 Found\r\nLocation: /loop\r\n\r\n");
    try {
        http.Get(Url(server, "/loop"));
        FAIL();
    } catch (const ESockError& e) {
        EXPECT_EQ(e.Message, "Too many redirections (more than 20)");
    }
    EXPECT_EQ(server.Accepted(), 21);
}

TEST_F(HttpTest, RedirectionStatusWithoutLocationIsAFailure) {
    for (const char* response : {"HTTP/1.0 304 Not Modified\r\n\r\n",
                                 "HTTP/1.0 302 Found\r\nContent-Length: 4\r\n\r\nbody",
                                 "HTTP/1.0 301 Moved\r\nLocation: \r\n\r\n"}) {
        SCOPED_TRACE(response);
        ScriptedServer server;
        server.Respond(response);
        server.Respond("HTTP/1.0 200 OK\r\n\r\n");
        const Outcome before = outcome;
        int redirects = 0;
        http.OnRedirect = [&](bool&) { ++redirects; };
        EXPECT_NO_THROW(http.Get(Url(server, "/page")));
        server.Stop();
        EXPECT_EQ(server.Accepted(), 1);
        EXPECT_EQ(redirects, 0);
        EXPECT_EQ(outcome.success, before.success);
        EXPECT_EQ(outcome.failure, before.failure + 1);
    }
}

TEST_F(HttpTest, RedirectionsThroughAProxyStayAbsolute) {
    ScriptedServer proxy;
    proxy.Respond("HTTP/1.0 302 Found\r\nLocation: /second\r\n\r\n");
    proxy.Respond("HTTP/1.0 200 OK\r\n\r\nok");
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy.Port();
    http.Get("http://svc.example.invalid/first");
    proxy.Stop();
    EXPECT_EQ(RequestLine(proxy.Requests().at(1)),
              "GET http://svc.example.invalid/second HTTP/1.0");
}

}  // namespace
}  // namespace zb
