#include "service/ServiceServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/Exception.h"
#include "service/EBadRequest.h"

namespace zb {

namespace {

constexpr int kIdleTimeoutMs = 30000;  // a client silent this long while we read or send
constexpr int kDrainTimeoutMs = 5000;  // waiting for the client's close after ours
constexpr std::size_t kMaxDrainBytes = 1024 * 1024;  // what we read of it at most

std::string ShowBytes(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

void SetNonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

}  // namespace

ServiceServer::ServiceServer(const ImageService& service, FaultModes faults, LogSink log)
    : service_(service), faults_(faults), log_(std::move(log)) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw Exception(std::string("cannot create the stop pipe: ") + std::strerror(errno));
    }
    stopRead_ = fds[0];
    stopWrite_ = fds[1];
    if (!log_) {
        log_ = [](const std::string& line) {
            const std::string text = line + "\n";
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
                if (n <= 0 && errno != EINTR) break;
                if (n > 0) done += static_cast<std::size_t>(n);
            }
        };
    }
}

ServiceServer::~ServiceServer() {
    Stop();
    ReapConnections(true);
    if (listenFd_ >= 0) close(listenFd_);
    close(stopRead_);
    close(stopWrite_);
}

int ServiceServer::Listen(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) throw Exception("cannot resolve " + host + ": " + gai_strerror(rc));
    std::string error = "no address";
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 64) == 0) {
            listenFd_ = fd;
            break;
        }
        error = std::strerror(errno);
        close(fd);
    }
    freeaddrinfo(found);
    if (listenFd_ < 0) {
        throw Exception("cannot listen on " + host + " port " + std::to_string(port) + ": " +
                        error);
    }
    SetNonBlocking(listenFd_);
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
    return bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

void ServiceServer::Stop() {
    const char byte = 1;
    // The pipe is never read: once written it stays readable and every wait sees it.
    [[maybe_unused]] const ssize_t n = write(stopWrite_, &byte, 1);
}

void ServiceServer::Run() {
    if (listenFd_ < 0) throw Exception("the server is not listening");
    for (;;) {
        const Wait w = WaitFor(listenFd_, POLLIN, -1);
        if (w == Wait::Stopped) break;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            // Out of descriptors or an aborted connection: pause briefly rather than spin.
            if (errno != EAGAIN && errno != EINTR && WaitFor(-1, 0, 100) == Wait::Stopped) break;
            continue;
        }
        ReapConnections(false);
        auto c = std::make_unique<Connection>();
        Connection* raw = c.get();
        c->Thread = std::thread([this, fd, raw] {
            Serve(fd);
            raw->Done = true;
        });
        connections_.push_back(std::move(c));
    }
    ReapConnections(true);
}

void ServiceServer::ReapConnections(bool all) {
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (all || (*it)->Done) {
            if ((*it)->Thread.joinable()) (*it)->Thread.join();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

ServiceServer::Wait ServiceServer::WaitFor(int fd, short events, int timeoutMs) const {
    pollfd p[2] = {{stopRead_, POLLIN, 0}, {fd, events, 0}};
    for (;;) {
        const int n = poll(p, fd >= 0 ? 2 : 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        if (p[0].revents != 0) return Wait::Stopped;
        return n > 0 ? Wait::Ready : Wait::TimedOut;
    }
}

bool ServiceServer::SendAll(int fd, const std::string& data) const {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (WaitFor(fd, POLLOUT, kIdleTimeoutMs) != Wait::Ready) return false;
        } else {
            return false;
        }
    }
    return true;
}

void ServiceServer::CloseGracefully(int fd) const {
    // Half-close, then read what the client may still send until it closes too, so unread
    // bytes never turn our close into a reset. A client that keeps sending is cut off.
    shutdown(fd, SHUT_WR);
    char buf[4096];
    std::size_t drained = 0;
    while (drained < kMaxDrainBytes && WaitFor(fd, POLLIN, kDrainTimeoutMs) == Wait::Ready) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
        if (n > 0) drained += static_cast<std::size_t>(n);
    }
    close(fd);
}

bool ServiceServer::ReadHead(int fd, std::string& head) {
    std::string buffer;
    char chunk[4096];
    for (;;) {
        const std::size_t end = FindHeadEnd(buffer);
        if (end != std::string::npos) {
            head = buffer.substr(0, end);
            return true;
        }
        if (buffer.size() > kMaxRequestHead) {
            throw EBadRequest(431, "the request head is longer than " +
                                       std::to_string(kMaxRequestHead) + " bytes");
        }
        const Wait w = WaitFor(fd, POLLIN, kIdleTimeoutMs);
        if (w == Wait::Stopped) return false;
        if (w == Wait::TimedOut) throw EBadRequest(408, "the request did not arrive in time");
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n == 0) return false;  // closed before a complete request: nothing to answer
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return false;
        }
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

void ServiceServer::Serve(int fd) {
    std::string head;
    HttpRequest request;
    try {
        if (!ReadHead(fd, head)) {
            close(fd);
            return;
        }
        request = ParseRequestHead(head);
    } catch (const EBadRequest& e) {
        const HttpResponse r = ImageService::Error(e.Status, e.Message);
        SendAll(fd, r.Head() + r.Body);
        const std::string firstLine = head.substr(0, head.find_first_of("\r\n"));
        Log("-", firstLine.empty() ? "-" : firstLine, std::to_string(e.Status));
        CloseGracefully(fd);
        return;
    }
    Answer(fd, request);
}

HttpResponse ServiceServer::Redirect(int fd, const HttpRequest& request) const {
    sockaddr_storage local{};
    socklen_t len = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len);
    char host[INET6_ADDRSTRLEN] = "127.0.0.1";
    int port = 0;
    std::string authority;
    if (local.ss_family == AF_INET6) {
        const auto* a = reinterpret_cast<sockaddr_in6*>(&local);
        inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
        port = ntohs(a->sin6_port);
        authority = "[" + std::string(host) + "]";
    } else {
        const auto* a = reinterpret_cast<sockaddr_in*>(&local);
        inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
        port = ntohs(a->sin_port);
        authority = host;
    }
    const RequestTarget t = SplitTarget(request.Target);
    const std::string location = "http://" + authority + ":" + std::to_string(port) + t.Path +
                                 (t.Query.empty() ? "" : "?" + t.Query);
    HttpResponse r = ImageService::Error(302, "moved to " + location);
    r.Headers.emplace_back("Location", location);
    return r;
}

bool ServiceServer::IsFaulty(RequestKind kind) {
    if (!InScope(faults_.Scope, kind)) return false;
    const int n = ++requestCount_;
    return n > faults_.Skip && (faults_.Count < 0 || n - faults_.Skip <= faults_.Count);
}

void ServiceServer::Answer(int fd, const HttpRequest& request) {
    const RequestKind kind = KindOf(request, service_.Layout());
    const bool faulty = IsFaulty(kind);
    const std::string& target = request.Target;
    if (faulty && faults_.DelayMs > 0 && WaitFor(-1, 0, faults_.DelayMs) == Wait::Stopped) {
        close(fd);
        return;
    }
    if (kind == RequestKind::Thumbnail && faults_.ThumbDelayMs > 0 &&
        WaitFor(-1, 0, faults_.ThumbDelayMs) == Wait::Stopped) {
        close(fd);
        return;
    }
    if (faulty && faults_.Drop) {
        Log(request.Method, target, "-", "dropped");
        CloseGracefully(fd);
        return;
    }

    HttpResponse response;
    try {
        if (faulty && faults_.RedirectFirst && !redirected_.exchange(true)) {
            response = Redirect(fd, request);
        } else if (faulty && faults_.Status > 0) {
            response = ImageService::Error(faults_.Status, "the service was told to fail");
        } else {
            ResultPageOptions page;
            if (faulty) {
                page.NextMarker = !faults_.NoNextMarker;
                page.DoubleSrcHit = faults_.DoubleSrcHit;
            }
            response = service_.Answer(request, page);
        }
    } catch (const EBadRequest& e) {
        response = ImageService::Error(e.Status, e.Message);
    }
    if (faulty && faults_.RetryAfter)
        response.Headers.emplace_back("Retry-After", *faults_.RetryAfter);
    const std::string status = std::to_string(response.Status);
    const std::string body = request.Method == "HEAD" ? std::string() : response.Body;

    if (faulty && faults_.ResetMidBody) {
        const std::size_t half = body.size() / 2;
        SendAll(fd, response.Head() + body.substr(0, half));
        // Linger with a zero time-out: close sends a reset instead of the usual end.
        const linger hard{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        Log(request.Method, target, status,
            "reset after " + std::to_string(half) + " of " + std::to_string(body.size()) +
                " body bytes");
        close(fd);
        return;
    }
    const bool sent = SendAll(fd, response.Head() + body);
    if (faulty && faults_.NeverClose) {
        Log(request.Method, target, status, sent ? "kept open" : "client gone");
        char buf[4096];
        while (WaitFor(fd, POLLIN, -1) == Wait::Ready) {
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
        }
        close(fd);
        return;
    }
    if (!sent) {
        Log(request.Method, target, status, "client gone");
        close(fd);
        return;
    }
    // Logged before the connection ends, so a client that waits for the end before its next
    // request finds the lines in request order.
    Log(request.Method, target, status);
    CloseGracefully(fd);
}

void ServiceServer::Log(const std::string& method, const std::string& target,
                        const std::string& status, const std::string& note) {
    std::string line = method + " " + ShowBytes(target) + " " + status;
    if (!note.empty()) line += " (" + note + ")";
    const std::lock_guard<std::mutex> lock(logMutex_);
    log_(line);
}

}  // namespace zb
