// A loopback HTTP server that answers every request after a delay, for measuring what a client
// spends while it waits. Prints its port on the first line of standard output.
//   zb-slow-server DELAY_MS [CONNECTIONS]   (stops after CONNECTIONS requests; default 1)

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zb-slow-server DELAY_MS [CONNECTIONS]\n");
        return 2;
    }
    const int delay = std::atoi(argv[1]);
    const int connections = argc > 2 ? std::atoi(argv[2]) : 1;
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 16) != 0) {
        std::perror("zb-slow-server");
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::printf("%d\n", ntohs(addr.sin_port));
    std::fflush(stdout);
    const std::string response = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nslow\n";
    for (int served = 0; served < connections; ++served) {
        const int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) continue;
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) break;
            char buf[4096];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            request.append(buf, static_cast<std::size_t>(n));
        }
        ::usleep(static_cast<useconds_t>(delay) * 1000);
        (void)!::send(fd, response.data(), response.size(), MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 2000);
        ::close(fd);
    }
    ::close(listener);
    return 0;
}
