#include "ServiceProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace zb::test {

namespace {

constexpr auto kGuard = std::chrono::seconds(60);

std::vector<char*> Argv(const std::string& path, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

pid_t Spawn(const std::string& path, const std::vector<std::string>& args, int out, int err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err, STDERR_FILENO);
    std::vector<char*> argv = Argv(path, args);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + path + ": " + std::strerror(rc));
    return pid;
}

int WaitExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits for a stopped program; one that does not end within the guard is killed and counts as
// failed (-1), so a service that ignores SIGTERM fails the test instead of hanging it.
int WaitStopped(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + kGuard;
    int status = 0;
    for (;;) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            WaitExit(pid);
            return -1;
        }
        usleep(5000);
    }
}

std::string ReadAll(int fd) {
    std::string out;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return out;
        }
    }
}

}  // namespace

std::string ServiceProcess::ProgramPath() {
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string(".");
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/zunbarra-service";
}

ServiceProcess::ServiceProcess(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot create pipes");
    }
    std::vector<std::string> all = {"--port", "0"};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = Spawn(ProgramPath(), all, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    logReader_ = std::thread([this, fd = err[0]] { ReadLog(fd); });

    // The first line on standard output is port=N.
    std::string first;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        first += c;
    close(out[0]);
    if (first.rfind("port=", 0) != 0) {
        Stop();
        throw std::runtime_error("zunbarra-service did not report its port: \"" + first + "\"");
    }
    port_ = std::stoi(first.substr(5));
}

ServiceProcess::~ServiceProcess() {
    Stop();
}

int ServiceProcess::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        exitStatus_ = WaitStopped(pid_);
        pid_ = -1;
    }
    if (logReader_.joinable()) logReader_.join();
    return exitStatus_;
}

void ServiceProcess::ReadLog(int fd) {
    std::string pending;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        pending.append(buf, static_cast<std::size_t>(n));
        std::size_t lf;
        while ((lf = pending.find('\n')) != std::string::npos) {
            const std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(pending.substr(0, lf));
            pending.erase(0, lf + 1);
            arrived_.notify_all();
        }
    }
    close(fd);
    const std::lock_guard<std::mutex> lock(mutex_);
    logClosed_ = true;
    arrived_.notify_all();
}

std::vector<std::string> ServiceProcess::WaitForLog(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, kGuard, [&] { return lines_.size() >= count || logClosed_; });
    return lines_;
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot create pipes");
    }
    const pid_t pid = Spawn(path, args, out[1], err[1]);
    close(out[1]);
    close(err[1]);
    ProgramRun run;
    std::thread errReader([&] { run.Err = ReadAll(err[0]); });
    run.Out = ReadAll(out[0]);
    errReader.join();
    close(out[0]);
    close(err[0]);
    run.ExitStatus = WaitExit(pid);
    return run;
}

int ConnectLoopback(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        throw std::runtime_error("cannot connect to port " + std::to_string(port));
    }
    const timeval guard{60, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
    return fd;
}

RawReply ReadToEnd(int fd) {
    RawReply r;
    char buf[4096];
    for (;;) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            r.Bytes.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            return r;
        } else if (errno != EINTR) {
            r.Error = errno;
            return r;
        }
    }
}

RawReply Exchange(int port, const std::string& request) {
    const int fd = ConnectLoopback(port);
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    RawReply r = ReadToEnd(fd);
    close(fd);
    return r;
}

ParsedReply ParseReply(const std::string& bytes) {
    ParsedReply p;
    const std::size_t end = bytes.find("\r\n\r\n");
    if (end == std::string::npos || bytes.rfind("HTTP/", 0) != 0) return p;
    p.Status = std::atoi(bytes.c_str() + bytes.find(' ') + 1);
    std::size_t pos = bytes.find("\r\n") + 2;
    while (pos < end) {
        const std::size_t eol = bytes.find("\r\n", pos);
        const std::string line = bytes.substr(pos, eol - pos);
        const std::size_t colon = line.find(':');
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::size_t v = colon + 1;
        while (v < line.size() && line[v] == ' ')
            ++v;
        p.Headers[name] = line.substr(v);
        pos = eol + 2;
    }
    p.Body = bytes.substr(end + 4);
    return p;
}

ParsedReply Get(int port, const std::string& target) {
    return ParseReply(Exchange(port, "GET " + target +
                                         " HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                         "Accept: www/source, text/html, video/mpeg, image/jpeg, "
                                         "image/x-tiff\r\n"
                                         "Content-type: application/x-www-form-urlencoded\r\n\r\n")
                          .Bytes);
}

}  // namespace zb::test
