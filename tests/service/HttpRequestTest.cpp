// Reading request heads as they arrive on the wire.

#include <gtest/gtest.h>

#include "common/Cp932.h"
#include "service/EBadRequest.h"
#include "service/HttpRequest.h"

namespace zb {
namespace {

int StatusOf(const std::string& head) {
    try {
        ParseRequestHead(head);
    } catch (const EBadRequest& e) {
        return e.Status;
    }
    return 0;
}

TEST(HttpRequest, HeadEndsAtTheFirstBlankLine) {
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.0\r\nHost: x\r\n\r\nbody"), 27u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.0\nHost: x\n\nbody"), 24u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.0\r\nHost: x\r\n"), std::string::npos);
    EXPECT_EQ(FindHeadEnd(""), std::string::npos);
}

TEST(HttpRequest, TheSystemClientsRequestWithRawCp932) {
    const std::string target = "/images?q=" + Utf8ToCp932("表示+ソフト") + "&num=20&start=0&hl=ja";
    const HttpRequest r = ParseRequestHead(
        "GET " + target +
        " HTTP/1.0\r\nHost: 127.0.0.1\r\n"
        "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
        "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
        "Content-type: application/x-www-form-urlencoded\r\n\r\n");
    EXPECT_EQ(r.Method, "GET");
    EXPECT_EQ(r.Target, target);
    EXPECT_EQ(r.Version, "HTTP/1.0");
    EXPECT_EQ(r.Header("host"), "127.0.0.1");
    EXPECT_EQ(r.Header("ACCEPT"), "www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    EXPECT_EQ(r.Header("Cookie"), "");
}

TEST(HttpRequest, ProxyFormAndFoldedHeaders) {
    const HttpRequest r = ParseRequestHead(
        "GET http://svc:81/images?q=a HTTP/1.0\nProxy-Connection: Keep-Alive\nX-Long: one\n "
        "two\n\n");
    EXPECT_EQ(r.Target, "http://svc:81/images?q=a");
    EXPECT_EQ(r.Header("proxy-connection"), "Keep-Alive");
    EXPECT_EQ(r.Header("x-long"), "one two");
}

TEST(HttpRequest, MalformedHeadsAreRefused) {
    EXPECT_EQ(StatusOf("\r\n"), 400);
    EXPECT_EQ(StatusOf("GET /\r\n\r\n"), 400);               // no version
    EXPECT_EQ(StatusOf("GET /a b HTTP/1.0\r\n\r\n"), 400);   // blank in the target
    EXPECT_EQ(StatusOf("GET  / HTTP/1.0\r\n\r\n"), 400);     // doubled blank
    EXPECT_EQ(StatusOf("GET /\x1b HTTP/1.0\r\n\r\n"), 400);  // control byte
    EXPECT_EQ(StatusOf("G(T / HTTP/1.0\r\n\r\n"), 400);      // not a method
    EXPECT_EQ(StatusOf("GET / FTP/1.0\r\n\r\n"), 400);
    EXPECT_EQ(StatusOf("GET / HTTP/2.0\r\n\r\n"), 505);
    EXPECT_EQ(StatusOf("GET / HTTP/1.0\r\nno colon\r\n\r\n"), 400);
    EXPECT_EQ(StatusOf("GET / HTTP/1.0\r\n folded\r\n\r\n"), 400);
    EXPECT_EQ(StatusOf("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), 0);
}

}  // namespace
}  // namespace zb
