// The client over TLS: nginx with certificates from a CA made for the test, tinyproxy as a
// CONNECT tunnel, curl as the oracle, and scripted peers that break the handshake.

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>

#include "CuttingRelay.h"
#include "DebianServers.h"
#include "HttpTestSupport.h"
#include "TestCertificates.h"

namespace zb {
namespace {

using zbtest::NginxTlsServer;
using zbtest::ReadFile;
using zbtest::ScriptedServer;
using zbtest::Step;
using zbtest::TestCertificates;
using zbtest::TinyProxy;

// The TLS ports of the server, one per certificate.
enum TlsPort : std::size_t { kGood, kOtherName, kExpired, kUnknownCa };

void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
    ::chmod(name.c_str(), 0644);
}

std::string CurlFetch(const std::string& url, const std::string& caFile) {
    const std::string out = zbtest::TempFile("curl-tls.out");
    const std::string command = "curl -s --cacert " + caFile + " -o " + out + " '" + url + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string content = ReadFile(out);
    std::remove(out.c_str());
    return content;
}

class HttpsTest : public zbtest::HttpTest {
protected:
    static void SetUpTestSuite() {
        certs = new TestCertificates();
        if (!certs->Ready()) return;
        nginx = new NginxTlsServer({{certs->Good().CertFile, certs->Good().KeyFile},
                                    {certs->OtherName().CertFile, certs->OtherName().KeyFile},
                                    {certs->Expired().CertFile, certs->Expired().KeyFile},
                                    {certs->UnknownCa().CertFile, certs->UnknownCa().KeyFile}});
        if (!nginx->Running()) return;
        proxy = new TinyProxy({nginx->TlsPort(kGood)});
        std::mt19937 rng(7);
        std::string big(3 * 1024 * 1024 + 5, '\0');
        for (char& c : big)
            c = static_cast<char>(rng() & 0xff);
        WriteFile(nginx->Root() + "/big.bin", big);
        WriteFile(nginx->Root() + "/page.htm",
                  "<html>" + std::string(20 * 1024, 's') + "</html>\n");
    }
    static void TearDownTestSuite() {
        delete proxy;
        delete nginx;
        delete certs;
        proxy = nullptr;
        nginx = nullptr;
        certs = nullptr;
    }
    void SetUp() override {
        HttpTest::SetUp();
        ASSERT_TRUE(certs->Ready()) << certs->Problem();
        ASSERT_TRUE(nginx && nginx->Running()) << nginx->Problem();
        http.CaFile = certs->CaFile();
    }
    static std::string TlsUrl(TlsPort port, const std::string& path) {
        return "https://localhost:" + std::to_string(nginx->TlsPort(port)) + path;
    }
    static std::string PlainUrl(const std::string& path) {
        return "http://localhost:" + std::to_string(nginx->Port()) + path;
    }
    // Runs the request and gives the error it ends with.
    template <class F>
    static ESockError ErrorOf(F&& request) {
        try {
            request();
        } catch (const ESockError& e) {
            return e;
        }
        return ESockError("no error", SockErrorKind::Other);
    }

    static TestCertificates* certs;
    static NginxTlsServer* nginx;
    static TinyProxy* proxy;
};

TestCertificates* HttpsTest::certs = nullptr;
NginxTlsServer* HttpsTest::nginx = nullptr;
TinyProxy* HttpsTest::proxy = nullptr;

TEST_F(HttpsTest, PageAndLargeBodyMatchCurl) {
    http.Get(TlsUrl(kGood, "/page.htm"));
    EXPECT_TRUE(http.Secure());
    EXPECT_EQ(http.Header.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_TRUE(http.Body == CurlFetch(TlsUrl(kGood, "/page.htm"), certs->CaFile()));
    const std::string file = zbtest::TempFile("tls-big.bin");
    http.InputFileMode = true;
    http.Body = file;
    http.Get(TlsUrl(kGood, "/big.bin"));
    EXPECT_EQ(outcome.success, 2);
    const std::string got = ReadFile(file);
    EXPECT_EQ(got.size(), 3u * 1024 * 1024 + 5);
    EXPECT_TRUE(got == CurlFetch(TlsUrl(kGood, "/big.bin"), certs->CaFile()));
    std::remove(file.c_str());
}

TEST_F(HttpsTest, RefusedCertificatesNameTheReason) {
    const struct {
        TlsPort port;
        const char* reason;
    } cases[] = {
        {kOtherName, "hostname mismatch"},
        {kExpired, "certificate has expired"},
        {kUnknownCa, "unable to get local issuer certificate"},
    };
    for (const auto& c : cases) {
        const ESockError e = ErrorOf([&] { http.Get(TlsUrl(c.port, "/page.htm")); });
        EXPECT_EQ(e.Kind(), SockErrorKind::Tls) << c.reason;
        EXPECT_EQ(e.Message,
                  std::string("TLS handshake with localhost failed: certificate verify failed: ") +
                      c.reason);
    }
    EXPECT_EQ(outcome.success, 0);
    EXPECT_FALSE(http.Connected());
}

TEST_F(HttpsTest, InsecureAcceptsAnUnknownCertificate) {
    http.CaFile.clear();
    http.Insecure = true;
    http.Get(TlsUrl(kUnknownCa, "/page.htm"));
    EXPECT_EQ(outcome.success, 1);
    EXPECT_EQ(http.Body.size(), 20u * 1024 + 14);
}

TEST_F(HttpsTest, RedirectsBetweenHttpAndHttps) {
    const std::string page = ReadFile(nginx->Root() + "/page.htm");
    http.Get(PlainUrl("/redirect?to=" + TlsUrl(kGood, "/page.htm")));
    EXPECT_TRUE(http.Secure());
    EXPECT_TRUE(http.Body == page);
    http.Get(TlsUrl(kGood, "/redirect?to=" + PlainUrl("/page.htm")));
    EXPECT_FALSE(http.Secure());
    EXPECT_TRUE(http.Body == page);
    EXPECT_EQ(outcome.success, 2);
}

TEST_F(HttpsTest, ThroughAProxyTunnel) {
    ASSERT_TRUE(proxy->Running()) << proxy->Problem();
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy->Port();
    http.Get(TlsUrl(kGood, "/page.htm"));
    EXPECT_TRUE(http.Body == ReadFile(nginx->Root() + "/page.htm"));
    EXPECT_EQ(outcome.success, 1);
    // The proxy allows tunnels to the good port only.
    const std::string other = "localhost:" + std::to_string(nginx->TlsPort(kOtherName));
    const ESockError e = ErrorOf([&] { http.Get("https://" + other + "/page.htm"); });
    EXPECT_EQ(e.Kind(), SockErrorKind::Refused);
    EXPECT_EQ(e.Message.rfind("The proxy refused the tunnel to " + other + ": HTTP/1.0 403 ", 0),
              0u)
        << e.Message;
    EXPECT_EQ(outcome.success, 1);
}

TEST_F(HttpsTest, BrokenHandshakesEndWithTheirReason) {
    const struct {
        const char* name;
        std::vector<Step> script;
        SockErrorKind kind;
        const char* message;
    } cases[] = {
        {"stall",
         {{Step::Hold, ""}},
         SockErrorKind::TimeOut,
         "TLS handshake with 127.0.0.1 timed out"},
        {"garbage",
         {{Step::SleepMs, "", 50}, {Step::Send, "HTTP/1.0 200 OK\r\n\r\nhello"}, {Step::Close, ""}},
         SockErrorKind::Tls,
         "TLS handshake with 127.0.0.1 failed: wrong version number"},
        {"close",
         {{Step::SleepMs, "", 50}, {Step::Close, ""}},
         SockErrorKind::Closed,
         "TLS handshake with 127.0.0.1 failed: the connection closed during the handshake"},
    };
    http.TimeOut = 300;
    for (const auto& c : cases) {
        ScriptedServer server;
        server.AddConnection(c.script);
        const std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/";
        const ESockError e = ErrorOf([&] { http.Get(url); });
        EXPECT_EQ(e.Kind(), c.kind) << c.name;
        EXPECT_EQ(e.Message, c.message) << c.name;
        server.Stop();
    }
    EXPECT_EQ(outcome.success + outcome.failure, 0);
}

TEST_F(HttpsTest, StreamCutWithoutCloseNotify) {
    // Cut inside a record the lost bytes make an error of the TLS layer; cut at a record
    // boundary it is a close as on a plain connection, here short of the Content-Length.
    const struct {
        bool atBoundary;
        const char* message;
    } cases[] = {
        {false,
         "The connection broke before the body was complete: The TLS connection with localhost "
         "closed in the middle of a record"},
        {true, "The connection closed before the body was complete ("},
    };
    for (const auto& c : cases) {
        zbtest::CuttingRelay relay(nginx->TlsPort(kGood), 200000, c.atBoundary);
        const ESockError e = ErrorOf(
            [&] { http.Get("https://localhost:" + std::to_string(relay.Port()) + "/big.bin"); });
        EXPECT_EQ(e.Kind(), SockErrorKind::Closed) << e.Message;
        EXPECT_EQ(e.Message.rfind(c.message, 0), 0u) << e.Message;
    }
    EXPECT_EQ(outcome.success, 0);
}

TEST_F(HttpsTest, FetchToolCaFileAndInsecure) {
    const struct {
        std::string args;
        int status;
        const char* err;
    } cases[] = {
        {"--cacert " + certs->CaFile() + " " + TlsUrl(kGood, "/page.htm"), 0,
         "HTTP/1.1 200 OK\r\n"},
        {"--insecure " + TlsUrl(kUnknownCa, "/page.htm"), 0,
         "zunbarra-fetch: warning: --insecure: the server's certificate is not checked\n"
         "HTTP/1.1 200 OK\r\n"},
        {TlsUrl(kUnknownCa, "/page.htm"), 2,
         "zunbarra-fetch: TLS handshake with localhost failed: certificate verify failed: "
         "unable to get local issuer certificate\n"},
    };
    const std::string out = zbtest::TempFile("fetch-tls.out");
    const std::string err = zbtest::TempFile("fetch-tls.err");
    for (const auto& c : cases) {
        const std::string command =
            std::string(ZB_FETCH_EXE) + " " + c.args + " >" + out + " 2>" + err;
        const int rc = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, c.status) << c.args;
        EXPECT_EQ(ReadFile(err), c.err) << c.args;
        EXPECT_EQ(ReadFile(out).size(), c.status == 0 ? 20u * 1024 + 14 : 0u) << c.args;
    }
    std::remove(out.c_str());
    std::remove(err.c_str());
}

}  // namespace
}  // namespace zb
