// Serves the fuzzed bytes as a server's whole response to TNMHTTP::Get, over a loopback socket.
// The first byte chooses the client's modes (body to a file or to text, header to a file or to
// text); the rest is the response. Every connection the client makes goes through the fuzz
// server as its proxy, so redirections never leave this process.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "net/TNMHTTP.h"

namespace {

// A loopback server that answers every connection with the current payload.
class PayloadServer {
public:
    PayloadServer() {
        FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(FListen, 64) != 0) {
            std::perror("fuzz server");
            std::abort();
        }
        socklen_t len = sizeof addr;
        ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
        FPort = ntohs(addr.sin_port);
        std::thread([this] { Run(); }).detach();
    }

    int Port() const { return FPort; }

    void SetPayload(std::string payload) {
        std::lock_guard<std::mutex> lock(FMutex);
        FPayload = std::move(payload);
    }

private:
    void Run() {
        for (;;) {
            const int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            std::string payload;
            {
                std::lock_guard<std::mutex> lock(FMutex);
                payload = FPayload;
            }
            Serve(fd, payload);
            ::close(fd);
        }
    }

    static bool Readable(int fd, int ms) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }

    static void Serve(int fd, const std::string& payload) {
        // Read the request header first, so that closing never resets unread request bytes.
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos && Readable(fd, 2000)) {
            char buf[4096];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
            request.append(buf, static_cast<std::size_t>(n));
        }
        for (std::size_t off = 0; off < payload.size();) {
            const ssize_t n = ::send(fd, payload.data() + off, payload.size() - off, MSG_NOSIGNAL);
            if (n <= 0) return;
            off += static_cast<std::size_t>(n);
        }
        ::shutdown(fd, SHUT_WR);
        // Wait for the client to close its side.
        while (Readable(fd, 2000)) {
            char buf[4096];
            if (::recv(fd, buf, sizeof buf, 0) <= 0) return;
        }
    }

    int FListen = -1;
    int FPort = 0;
    std::mutex FMutex;
    std::string FPayload;
};

struct Environment {
    Environment() {
        static int argc = 1;
        static char name[] = "net_http_response_fuzz";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
        server = new PayloadServer();
        const std::string dir = "/tmp/zb-fuzz-net-" + std::to_string(::getpid());
        ::mkdir(dir.c_str(), 0700);
        bodyFile = dir + "/body.htm";
        headerFile = dir + "/head.txt";
    }
    QCoreApplication* app;
    PayloadServer* server;
    std::string bodyFile;
    std::string headerFile;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Environment env;
    if (size == 0) return 0;
    const std::uint8_t modes = data[0];
    env.server->SetPayload(std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    // Declared before the client, so they outlive it.
    std::size_t statusBytes = 0;
    int events = 0;
    zb::TNMHTTP http;
    http.TimeOut = 2000;
    http.IdleTimeOut = 2000;
    http.ReportLevel = 16;
    http.Proxy = "127.0.0.1";
    http.ProxyPort = env.server->Port();
    http.InputFileMode = (modes & 1) != 0;
    http.OutputFileMode = (modes & 2) != 0;
    http.Body = http.InputFileMode ? env.bodyFile : "";
    http.Header = env.headerFile;
    http.OnStatus = [&](zb::TPowersock&, const std::string& status) {
        statusBytes += status.size();
    };
    http.OnSuccess = [&](zb::CmdType) { ++events; };
    http.OnFailure = [&](zb::CmdType) { ++events; };
    http.OnAuthenticationNeeded = [&](zb::TPowersock&) { ++events; };
    if ((modes & 4) != 0) {
        http.OnRedirect = [modes](bool& handled) { handled = (modes & 16) != 0; };
    }
    try {
        if ((modes & 8) != 0) {
            http.Head("http://fuzz.invalid/page");
        } else {
            http.Get("http://fuzz.invalid/page?q=1");
        }
    } catch (const zb::Exception&) {
        // Errors are expected outcomes for malformed responses.
    }
    return 0;
}
