// The client against real servers: nginx serving files, tinyproxy as the proxy in front of it,
// and curl fetching the same addresses as the oracle.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "DebianServers.h"
#include "HttpTestSupport.h"

namespace zb {
namespace {

using zbtest::NginxServer;
using zbtest::ReadFile;
using zbtest::TinyProxy;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng() & 0xff);
    return bytes;
}

void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
    ::chmod(name.c_str(), 0644);
}

std::string CurlFetch(const std::string& url, const std::string& proxy = "") {
    const std::string out = zbtest::TempFile("curl.out");
    const std::string command =
        "curl -0 -s -o " + out + (proxy.empty() ? "" : " -x " + proxy) + " '" + url + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const std::string content = ReadFile(out);
    std::remove(out.c_str());
    return content;
}

class RealServersTest : public zbtest::HttpTest {
protected:
    static void SetUpTestSuite() {
        nginx = new NginxServer();
        proxy = new TinyProxy();
        if (!nginx->Running()) return;
        std::filesystem::create_directories(nginx->Root() + "/dir");
        ::chmod((nginx->Root() + "/dir").c_str(), 0755);
        WriteFile(nginx->Root() + "/big.bin", RandomBytes(3 * 1024 * 1024 + 17, 1));
        WriteFile(nginx->Root() + "/page.htm", std::string(20 * 1024, 'p'));
        WriteFile(nginx->Root() + "/dir/index.html", "<html>index</html>\n");
    }
    static void TearDownTestSuite() {
        delete proxy;
        delete nginx;
        proxy = nullptr;
        nginx = nullptr;
    }
    void SetUp() override {
        HttpTest::SetUp();
        ASSERT_TRUE(nginx->Running()) << nginx->Problem();
        http.IdleTimeOut = 20000;  // a client waiting for a close that never comes fails
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(nginx->Port()) + path;
    }

    static NginxServer* nginx;
    static TinyProxy* proxy;
};

NginxServer* RealServersTest::nginx = nullptr;
TinyProxy* RealServersTest::proxy = nullptr;

TEST_F(RealServersTest, LargeBinaryArrivesByteIdenticalInAFile) {
    const std::string file = zbtest::TempFile("nginx-big.bin");
    http.InputFileMode = true;
    http.Body = file;
    http.Get(Url("/big.bin"));
    EXPECT_EQ(outcome.success, 1);
    const std::string expected = ReadFile(nginx->Root() + "/big.bin");
    const std::string got = ReadFile(file);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
    EXPECT_TRUE(got == CurlFetch(Url("/big.bin")));
    EXPECT_EQ(http.BytesTotal(), static_cast<std::int64_t>(expected.size()));
    std::remove(file.c_str());
}

TEST_F(RealServersTest, PageAsTextAndStatusEvents) {
    http.Get(Url("/page.htm"));
    EXPECT_TRUE(http.Body == CurlFetch(Url("/page.htm")));
    EXPECT_EQ(http.Header.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    http.Get(Url("/missing.htm"));
    EXPECT_EQ(outcome.failure, 1);
    EXPECT_EQ(http.ReplyNumber(), 404);
    http.Head(Url("/big.bin"));
    EXPECT_EQ(http.Body, "");
    EXPECT_EQ(http.BytesTotal(), 3 * 1024 * 1024 + 17);
}

TEST_F(RealServersTest, DirectoryRedirectIsFollowed) {
    int redirects = 0;
    http.OnRedirect = [&](bool&) { ++redirects; };
    http.Get(Url("/dir"));
    EXPECT_EQ(redirects, 1);
    EXPECT_EQ(http.Body, "<html>index</html>\n");
}

TEST_F(RealServersTest, ThroughTinyproxy) {
    ASSERT_TRUE(proxy->Running()) << proxy->Problem();
    const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy->Port());
    http.Proxy = "127.0.0.1";
    http.ProxyPort = proxy->Port();
    const std::string file = zbtest::TempFile("proxied.bin");
    http.InputFileMode = true;
    http.Body = file;
    // The proxy may keep the connection open: the body ends by its Content-Length.
    http.Get(Url("/big.bin"));
    EXPECT_EQ(outcome.success, 1);
    const std::string got = ReadFile(file);
    EXPECT_TRUE(got == ReadFile(nginx->Root() + "/big.bin"));
    EXPECT_TRUE(got == CurlFetch(Url("/big.bin"), proxyAddress));
    http.InputFileMode = false;
    http.Get(Url("/dir"));
    EXPECT_EQ(http.Body, "<html>index</html>\n");
    http.Get(Url("/missing.htm"));
    EXPECT_EQ(outcome.failure, 1);
    std::remove(file.c_str());
}

}  // namespace
}  // namespace zb
