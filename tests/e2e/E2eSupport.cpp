#include "E2eSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

extern char** environ;

namespace zb::test {

namespace fs = std::filesystem;

namespace {

fs::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = testing::TempDir() + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

IsolatedCli::IsolatedCli() : folder_(MakeTempFolder("zb-e2e-cli-")) {
    program_ = folder_ / "zunbarra-cli";
    std::error_code ec;
    fs::create_hard_link(ZB_CLI_EXE, program_, ec);
    if (ec) fs::copy_file(ZB_CLI_EXE, program_);
}

IsolatedCli::~IsolatedCli() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

ProgramRun IsolatedCli::Run(const std::vector<std::string>& args) const {
    return RunProgram(program_.string(), args);
}

TinyProxyProcess::TinyProxyProcess() {
    if (::access("/usr/bin/tinyproxy", X_OK) != 0) {
        problem_ = "tinyproxy is not installed";
        return;
    }
    folder_ = MakeTempFolder("zb-e2e-tinyproxy-");
    // A port found free may be taken before tinyproxy binds it: try a few.
    for (int attempt = 0; attempt < 5 && pid_ <= 0; ++attempt) {
        const int port = UnusedLoopbackPort();
        const std::string conf = (folder_ / "tinyproxy.conf").string();
        std::ofstream(conf) << "Port " << port << "\nListen 127.0.0.1\nTimeout 60\n"
                            << "LogFile \"" << (folder_ / "tinyproxy.log").string() << "\"\n"
                            << "PidFile \"" << (folder_ / "tinyproxy.pid").string() << "\"\n"
                            << "MaxClients 20\nAllow 127.0.0.1\nLogLevel Info\n";
        std::vector<std::string> words = {"/usr/bin/tinyproxy", "-d", "-c", conf};
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = (folder_ / "stdout.log").string();
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            problem_ = "cannot start tinyproxy";
            return;
        }
        // Ready once it accepts connections (bounded: 5 s), or gone when it failed to start.
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                break;
            }
            if (Accepts(port)) {
                pid_ = pid;
                port_ = port;
                return;
            }
            ::usleep(10000);
        }
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        problem_ = "tinyproxy did not start; see " + out;
    }
}

TinyProxyProcess::~TinyProxyProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        bool gone = false;
        for (int i = 0; i < 300 && !gone; ++i) {
            gone = ::waitpid(pid_, nullptr, WNOHANG) == pid_;
            if (!gone) ::usleep(10000);
        }
        if (!gone) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
}

std::string TinyProxyProcess::Log() const {
    return ReadBytes(folder_ / "tinyproxy.log");
}

int UnusedLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

std::vector<std::string> ExpectedAddresses(int port, const std::string& query, int images) {
    const ProgramRun run = RunProgram(ServiceProcess::ProgramPath(),
                                      {"--expect", query, "--images", std::to_string(images)});
    if (run.ExitStatus != 0) throw std::runtime_error("--expect failed: " + run.Err);
    std::vector<std::string> addresses;
    for (const std::string& path : Lines(run.Out))
        addresses.push_back("http://127.0.0.1:" + std::to_string(port) + path);
    return addresses;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zb::test
