#include "CuttingRelay.h"

#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace zbtest {

namespace {

bool SendAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

CuttingRelay::CuttingRelay(int targetPort, std::size_t cutAfter, bool atRecordBoundary)
    : FTargetPort(targetPort), FCutAfter(cutAfter), FAtBoundary(atRecordBoundary) {
    FListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = Loopback(0);
    ::bind(FListen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(FListen, 1);
    socklen_t len = sizeof addr;
    ::getsockname(FListen, reinterpret_cast<sockaddr*>(&addr), &len);
    FPort = ntohs(addr.sin_port);
    FThread = std::thread([this] { Run(); });
}

CuttingRelay::~CuttingRelay() {
    ::shutdown(FListen, SHUT_RDWR);  // wakes an accept that never got a client
    FThread.join();
    ::close(FListen);
}

void CuttingRelay::Run() {
    const int client = ::accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = Loopback(FTargetPort);
    if (::connect(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(server);
        ::close(client);
        return;
    }
    std::size_t passed = 0;
    // Record framing of the server's stream: header bytes seen, body bytes left.
    unsigned char header[5];
    std::size_t headerHave = 0;
    std::size_t recordLeft = 0;
    bool cut = false;
    while (!cut) {
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        if (::poll(fds, 2, 10000) <= 0) break;
        unsigned char buf[4096];
        if (fds[0].revents != 0) {
            const ssize_t n = ::recv(client, buf, sizeof buf, 0);
            if (n <= 0 || !SendAll(server, buf, static_cast<std::size_t>(n))) break;
        }
        if (fds[1].revents == 0) continue;
        const ssize_t n = ::recv(server, buf, sizeof buf, 0);
        if (n <= 0) break;
        std::size_t take = 0;
        while (take < static_cast<std::size_t>(n) && !cut) {
            if (passed >= FCutAfter && (!FAtBoundary || (headerHave == 0 && recordLeft == 0))) {
                cut = true;
                break;
            }
            if (recordLeft > 0) {
                const std::size_t skip = std::min({recordLeft, static_cast<std::size_t>(n) - take,
                                                   FAtBoundary ? recordLeft : FCutAfter - passed});
                recordLeft -= skip;
                take += skip;
                passed += skip;
                continue;
            }
            header[headerHave++] = buf[take++];
            ++passed;
            if (headerHave == sizeof header) {
                recordLeft = static_cast<std::size_t>(header[3]) << 8 | header[4];
                headerHave = 0;
            }
        }
        if (!SendAll(client, buf, take)) break;
    }
    // An orderly close of the TCP connection, without the TLS close_notify.
    ::shutdown(client, SHUT_WR);
    ::close(server);
    pollfd wait{client, POLLIN, 0};
    while (::poll(&wait, 1, 2000) > 0) {
        unsigned char buf[4096];
        if (::recv(client, buf, sizeof buf, 0) <= 0) break;
    }
    ::close(client);
}

}  // namespace zbtest
