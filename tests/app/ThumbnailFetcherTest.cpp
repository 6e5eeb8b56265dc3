#include <gtest/gtest.h>
#include <sys/stat.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <fstream>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <string>
#include <vector>

#include "DebianServers.h"
#include "ScriptedServer.h"
#include "TestCertificates.h"
#include "app/thumbs/ThumbnailFetcher.h"

namespace zb {
namespace {

using zbtest::ScriptedServer;
using zbtest::Step;

void EnsureApp() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "app_thumbs_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Processes events until the condition holds; false when it has not after a generous while.
bool PumpUntil(const std::function<bool()>& done, int ms = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'p');

std::string Answer(const std::string& status, const std::string& body, bool length = true) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: image/png\r\n" +
           (length ? "Content-Length: " + std::to_string(body.size()) + "\r\n" : "") + "\r\n" +
           body;
}

class FetcherTest : public testing::Test {
protected:
    FetcherTest() {
        EnsureApp();
        fetcher.OnFinished = [this](const ThumbnailResult& r) { results.push_back(r); };
        fetcher.OnRetryWait = [this](const std::string&, int ms, const std::string& reason) {
            waits.push_back(std::to_string(ms) + " " + reason);
        };
    }
    std::string Address(const std::string& path = "/images?q=tbn:a") const {
        return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
    }
    ThumbnailResult FetchOne(ThumbnailSettings settings = {}) {
        fetcher.SetSettings(settings);
        fetcher.Enqueue(Address());
        EXPECT_TRUE(PumpUntil([&] { return !results.empty(); }));
        return results.empty() ? ThumbnailResult() : results.back();
    }

    ScriptedServer server;
    ThumbnailFetcher fetcher;
    std::vector<ThumbnailResult> results;
    std::vector<std::string> waits;
};

TEST(ImageKind, FirstBytesNameThePictureType) {
    EXPECT_EQ(SniffImageKind(kPng), "png");
    EXPECT_EQ(SniffImageKind("\xff\xd8\xff\xe0 jfif"), "jpg");
    EXPECT_EQ(SniffImageKind("GIF89a......"), "gif");
    EXPECT_EQ(SniffImageKind(std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)), "webp");
    EXPECT_EQ(SniffImageKind("BM" + std::string(40, '\0')), "bmp");
    EXPECT_EQ(SniffImageKind("<html>not a picture</html>"), "");
    EXPECT_EQ(SniffImageKind(""), "");
}

TEST_F(FetcherTest, PictureArrivesWithItsKind) {
    server.Respond(Answer("200 OK", kPng));
    const ThumbnailResult r = FetchOne();
    EXPECT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(r.Status, 200);
    EXPECT_EQ(r.Kind, "png");
    EXPECT_EQ(r.Data, kPng);
    EXPECT_EQ(fetcher.Outstanding(), 0);
}

// Bodies that must never count as a picture.
TEST_F(FetcherTest, BadAnswersAreErrors) {
    struct Case {
        std::vector<Step> script;
        std::string error;  // expected start of the error text
        ThumbnailSettings settings;
    };
    ThumbnailSettings small;
    small.MaxBytes = 1000;
    ThumbnailSettings impatient;
    impatient.IdleTimeOutMs = 300;
    const std::string big = kPng + std::string(2000, 'x');
    const std::vector<Case> cases = {
        {{{Step::ReadRequest, ""},
          {Step::Send, Answer("404 Not Found", "gone")},
          {Step::Close, ""}},
         "HTTP 404",
         {}},
        {{{Step::ReadRequest, ""},
          {Step::Send, Answer("200 OK", "<html>hello</html>")},
          {Step::Close, ""}},
         "not an image",
         {}},
        {{{Step::ReadRequest, ""},
          {Step::Send, Answer("200 OK", kPng).substr(0, 80)},
          {Step::Close, ""}},
         "truncated",
         {}},
        {{{Step::ReadRequest, ""},
          {Step::Send, Answer("200 OK", kPng).substr(0, 80)},
          {Step::SleepMs, "", 50},
          {Step::Reset, ""}},
         "",
         {}},
        {{{Step::ReadRequest, ""}, {Step::Send, Answer("200 OK", big)}, {Step::Close, ""}},
         "too large",
         small},
        {{{Step::ReadRequest, ""}, {Step::Send, Answer("200 OK", big, false)}, {Step::Close, ""}},
         "too large",
         small},
        {{{Step::ReadRequest, ""}, {Step::Send, Answer("200 OK", kPng, false)}, {Step::Hold, ""}},
         "timed out",
         impatient},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        // A server of its own: a transfer Qt sends again after a failure cannot take the next
        // case's answer.
        ScriptedServer own;
        own.AddConnection(cases[i].script);
        results.clear();
        fetcher.SetSettings(cases[i].settings);
        fetcher.Enqueue("http://127.0.0.1:" + std::to_string(own.Port()) + "/images?q=tbn:a");
        ASSERT_TRUE(PumpUntil([&] { return !results.empty(); })) << "case " << i;
        const ThumbnailResult r = results.back();
        EXPECT_FALSE(r.Ok()) << "case " << i;
        EXPECT_EQ(r.Error.rfind(cases[i].error, 0), 0u) << "case " << i << ": " << r.Error;
        EXPECT_TRUE(r.Data.empty()) << "case " << i;
    }
}

TEST_F(FetcherTest, ConnectionThatNeverCompletesTimesOut) {
    ScriptedServer unanswered(false);
    ThumbnailSettings settings;
    settings.TimeOutMs = 300;
    fetcher.SetSettings(settings);
    fetcher.Enqueue("http://127.0.0.1:" + std::to_string(unanswered.Port()) + "/t");
    ASSERT_TRUE(PumpUntil([&] { return !results.empty(); }));
    EXPECT_EQ(results[0].Error, "timed out");
}

TEST_F(FetcherTest, BusyAnswerIsRetriedAfterItsRetryAfter) {
    server.Respond("HTTP/1.0 503 Busy\r\nRetry-After: 0\r\nContent-Length: 0\r\n\r\n");
    server.Respond("HTTP/1.0 429 Slow down\r\nContent-Length: 0\r\n\r\n");
    server.Respond(Answer("200 OK", kPng));
    ThumbnailSettings settings;
    settings.Retries = 2;
    const ThumbnailResult r = FetchOne(settings);
    EXPECT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(waits, (std::vector<std::string>{"0 HTTP 503, Retry-After 0", "2000 HTTP 429"}));
    EXPECT_EQ(results.size(), 1u);
}

TEST_F(FetcherTest, RetriesRunOut) {
    server.Respond("HTTP/1.0 503 Busy\r\nRetry-After: 0\r\nContent-Length: 0\r\n\r\n");
    server.Respond("HTTP/1.0 503 Busy\r\nRetry-After: 0\r\nContent-Length: 0\r\n\r\n");
    ThumbnailSettings settings;
    settings.Retries = 1;
    const ThumbnailResult r = FetchOne(settings);
    EXPECT_EQ(r.Error, "HTTP 503");
    EXPECT_EQ(waits.size(), 1u);
}

TEST_F(FetcherTest, ProxyGetsTheFullAddress) {
    server.Respond(Answer("200 OK", kPng));
    ThumbnailSettings settings;
    settings.ProxyHost = "127.0.0.1";
    settings.ProxyPort = server.Port();
    fetcher.SetSettings(settings);
    fetcher.Enqueue("http://thumbs.invalid/images?q=tbn:x");
    ASSERT_TRUE(PumpUntil([&] { return !results.empty(); }));
    EXPECT_TRUE(results[0].Ok()) << results[0].Error;
    EXPECT_EQ(server.Requests().at(0).rfind("GET http://thumbs.invalid/images?q=tbn:x ", 0), 0u)
        << server.Requests().at(0);
}

TEST_F(FetcherTest, AddressThatIsNotHttpFailsOnTheLoop) {
    fetcher.Enqueue("ftp://example.invalid/a.png");
    EXPECT_TRUE(results.empty());
    ASSERT_TRUE(PumpUntil([&] { return !results.empty(); }));
    EXPECT_EQ(results[0].Error, "not an http:// or https:// address");
}

// Pictures over https from nginx: trusted through the CA file, refused without it, fetched
// unchecked with Insecure.
TEST_F(FetcherTest, HttpsChecksTheCertificate) {
    zbtest::TestCertificates certs;
    ASSERT_TRUE(certs.Ready()) << certs.Problem();
    zbtest::NginxTlsServer nginx({{certs.Good().CertFile, certs.Good().KeyFile}});
    ASSERT_TRUE(nginx.Running()) << nginx.Problem();
    std::ofstream(nginx.Root() + "/t.png", std::ios::binary) << kPng;
    ::chmod((nginx.Root() + "/t.png").c_str(), 0644);
    const std::string address = "https://localhost:" + std::to_string(nginx.TlsPort(0)) + "/t.png";
    ThumbnailSettings trusted;
    trusted.CaFile = certs.CaFile();
    ThumbnailSettings unchecked;
    unchecked.Insecure = true;
    for (const auto& [settings, ok] :
         {std::pair{trusted, true}, std::pair{ThumbnailSettings{}, false},
          std::pair{unchecked, true}}) {
        ThumbnailFetcher own;  // a connection of its own: a checked one is kept for reuse
        std::vector<ThumbnailResult> got;
        own.OnFinished = [&](const ThumbnailResult& r) { got.push_back(r); };
        own.SetSettings(settings);
        own.Enqueue(address);
        ASSERT_TRUE(PumpUntil([&] { return !got.empty(); }));
        EXPECT_EQ(got[0].Ok(), ok) << got[0].Error;
        EXPECT_EQ(got[0].Data, ok ? kPng : "");
    }
}

// A listener the test accepts on by hand and never answers: shows how many transfers run.
class SilentListener {
public:
    SilentListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), size);
        ::listen(fd_, 16);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &size);
        port_ = ntohs(addr.sin_port);
    }
    ~SilentListener() {
        AnswerAll("");
        ::close(fd_);
    }
    int Port() const { return port_; }
    int AcceptAll() {
        for (int c; (c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
            accepted_.push_back(c);
        return static_cast<int>(accepted_.size()) + dropped_;
    }
    // Answers every accepted connection and closes it.
    void AnswerAll(const std::string& response) {
        for (int c : accepted_) {
            (void)!::send(c, response.data(), response.size(), MSG_NOSIGNAL);
            ::close(c);
        }
        dropped_ += static_cast<int>(accepted_.size());
        accepted_.clear();
    }

private:
    int fd_ = -1;
    int port_ = 0;
    int dropped_ = 0;
    std::vector<int> accepted_;
};

TEST_F(FetcherTest, AtMostJobsTransfersRunAndClearEndsThemSilently) {
    SilentListener listener;
    ThumbnailSettings settings;
    settings.Jobs = 2;
    fetcher.SetSettings(settings);
    for (int i = 0; i < 5; ++i)
        fetcher.Enqueue("http://127.0.0.1:" + std::to_string(listener.Port()) + "/t" +
                        std::to_string(i));
    ASSERT_TRUE(PumpUntil([&] { return listener.AcceptAll() >= 2; }));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(listener.AcceptAll(), 2);
    EXPECT_EQ(fetcher.Outstanding(), 5);
    // The two answered, the next two start.
    listener.AnswerAll("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    ASSERT_TRUE(PumpUntil([&] { return listener.AcceptAll() >= 4; }));
    EXPECT_EQ(results.size(), 2u);
    fetcher.Clear();
    EXPECT_EQ(fetcher.Outstanding(), 0);
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(results.size(), 2u);
}

}  // namespace
}  // namespace zb
