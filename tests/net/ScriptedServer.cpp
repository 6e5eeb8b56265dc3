#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace zbtest {

sockaddr_in Loopback(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

namespace {

// The announced body length of a request header, 0 when none.
std::size_t ContentLength(const std::string& header) {
    std::string lower = header;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t pos = lower.find("\ncontent-length:");
    if (pos == std::string::npos) return 0;
    return static_cast<std::size_t>(std::strtoul(lower.c_str() + pos + 16, nullptr, 10));
}

}  // namespace

ScriptedServer::ScriptedServer(bool accept) : FAccept(accept) {
    FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr = Loopback(0);
    if (::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(FListen, accept ? 16 : 0) != 0) {
        throw std::runtime_error("cannot listen on loopback");
    }
    socklen_t len = sizeof addr;
    ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    if (::pipe2(FWake, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    if (!accept) {
        // Fill the accept queue so that further connection attempts stay unanswered.
        for (int i = 0; i < 2; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            sockaddr_in to = Loopback(FPort);
            ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
            FFillers.push_back(fd);
        }
        ::usleep(50000);
        return;
    }
    FThread = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
    Stop();
    for (int fd : FFillers)
        ::close(fd);
    ::close(FListen);
    ::close(FWake[0]);
    ::close(FWake[1]);
}

void ScriptedServer::Stop() {
    // Connections already made are still played (a client may have finished before the server
    // thread accepted it).
    for (int i = 0; i < 5000 && FAccept && !FStop; ++i) {
        pollfd pending{FListen, POLLIN, 0};
        if (::poll(&pending, 1, 0) <= 0) break;
        ::usleep(1000);
    }
    if (FStop.exchange(true)) return;
    const char c = 'x';
    (void)!::write(FWake[1], &c, 1);
    if (FThread.joinable()) FThread.join();
}

void ScriptedServer::AddConnection(std::vector<Step> script) {
    std::lock_guard<std::mutex> lock(FMutex);
    FScripts.push_back(std::move(script));
}

void ScriptedServer::Respond(const std::string& response) {
    AddConnection({{Step::ReadRequest, ""}, {Step::Send, response}, {Step::Close, ""}});
}

std::vector<std::string> ScriptedServer::Requests() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FRequests;
}

int ScriptedServer::Accepted() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FAccepted;
}

bool ScriptedServer::WaitReadable(int fd, int ms) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {FWake[0], POLLIN, 0}};
    const int rc = ::poll(fds, 2, ms);
    if (rc <= 0) return false;
    return fds[0].revents != 0;
}

void ScriptedServer::Run() {
    while (!FStop) {
        if (!WaitReadable(FListen, -1)) continue;
        const int fd = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::vector<Step> script;
        std::size_t index = 0;
        {
            std::lock_guard<std::mutex> lock(FMutex);
            ++FAccepted;
            index = FRequests.size();
            FRequests.emplace_back();
            if (!FScripts.empty()) {
                script = std::move(FScripts.front());
                FScripts.pop_front();
            }
        }
        Play(fd, script, index);
    }
}

void ScriptedServer::Play(int fd, const std::vector<Step>& script, std::size_t index) {
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    bool open = true;
    auto record = [&](const char* data, std::size_t n) {
        std::lock_guard<std::mutex> lock(FMutex);
        FRequests[index].append(data, n);
    };
    for (const Step& step : script) {
        if (!open) break;
        // A stopping server still takes what the client has already sent: the client may have
        // written and closed before this thread accepted it, and Stop() then comes first.
        const bool reads = step.kind == Step::ReadRequest || step.kind == Step::Drain;
        if (FStop && !reads) break;
        switch (step.kind) {
            case Step::ReadRequest: {
                std::string got;
                std::size_t need = std::string::npos;
                while (got.size() < need) {
                    if (!WaitReadable(fd, 10000)) break;
                    char buf[4096];
                    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                    if (n <= 0) break;
                    got.append(buf, static_cast<std::size_t>(n));
                    record(buf, static_cast<std::size_t>(n));
                    const std::size_t end = got.find("\r\n\r\n");
                    if (need == std::string::npos && end != std::string::npos) {
                        need = end + 4 + ContentLength(got.substr(0, end + 2));
                    }
                }
                break;
            }
            case Step::Send:
                for (std::size_t off = 0; off < step.data.size();) {
                    const ssize_t n =
                        ::send(fd, step.data.data() + off, step.data.size() - off, MSG_NOSIGNAL);
                    if (n <= 0) break;
                    off += static_cast<std::size_t>(n);
                }
                break;
            case Step::SendBytewise:
                for (char c : step.data) {
                    if (::send(fd, &c, 1, MSG_NOSIGNAL) != 1) break;
                    ::usleep(200);
                }
                break;
            case Step::SleepMs: {
                pollfd wake{FWake[0], POLLIN, 0};
                ::poll(&wake, 1, step.ms);
                break;
            }
            case Step::Close:
                ::shutdown(fd, SHUT_WR);
                // Wait for the client to close (or a short while), so no reset hits unread data.
                for (int i = 0; i < 100; ++i) {
                    if (!WaitReadable(fd, 50)) {
                        if (FStop) break;
                        continue;
                    }
                    char buf[4096];
                    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                    if (n <= 0) break;
                    record(buf, static_cast<std::size_t>(n));
                }
                ::close(fd);
                open = false;
                break;
            case Step::Reset: {
                ::linger option{1, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &option, sizeof option);
                ::close(fd);
                open = false;
                break;
            }
            case Step::Hold:
                for (;;) {
                    pollfd fds[2] = {{fd, POLLIN, 0}, {FWake[0], POLLIN, 0}};
                    if (::poll(fds, 2, -1) <= 0) break;
                    // Bytes that arrived are recorded even when the server is stopping.
                    if (fds[0].revents == 0) break;
                    char buf[4096];
                    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                    if (n <= 0) break;
                    record(buf, static_cast<std::size_t>(n));
                }
                ::close(fd);
                open = false;
                break;
            case Step::Drain:
                // Waits on the connection alone: the client closes it, and a stop must not cut
                // off bytes still on their way from the client's send buffer.
                for (;;) {
                    pollfd data{fd, POLLIN, 0};
                    if (::poll(&data, 1, 10000) <= 0) break;
                    char buf[4096];
                    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                    if (n <= 0) break;
                    record(buf, static_cast<std::size_t>(n));
                }
                break;
        }
    }
    if (open) ::close(fd);
}

}  // namespace zbtest
