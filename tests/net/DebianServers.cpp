#include "DebianServers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

extern char** environ;

namespace zbtest {

namespace {

int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

std::vector<std::string> Words(const std::string& command) {
    std::vector<std::string> words;
    std::string word;
    for (char c : command) {
        if (c == ' ') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

std::string MakeTempDir(const char* prefix) {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/" + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    // Readable for a server that drops its privileges.
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

// What both nginx servers share: the check that it is installed, the configuration up to the
// first server block (everything nginx writes stays in `dir`) and the command that runs it.
bool NginxInstalled(std::string& problem) {
    if (::access("/usr/sbin/nginx", X_OK) == 0) return true;
    problem = "nginx is not installed";
    return false;
}

std::string NginxConfigHead(const std::string& dir) {
    std::string head = "daemon off;\nmaster_process off;\nworker_processes 1;\n";
    head += "error_log " + dir + "/error.log;\npid " + dir + "/nginx.pid;\n";
    head += "events { worker_connections 64; }\nhttp {\n  access_log off;\n";
    for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
        const std::string name = kind;
        head += "  " + name + "_temp_path " + dir + "/" +
                (name == "client_body" ? std::string("body") : name) + ";\n";
    }
    return head;
}

std::string NginxCommand(const std::string& dir) {
    return "/usr/sbin/nginx -p " + dir + " -c " + dir + "/nginx.conf -e " + dir + "/error.log";
}

}  // namespace

ServerProcess::~ServerProcess() {
    Stop();
}

void ServerProcess::Start() {
    // A port picked free may be taken by someone else before the server binds it: try again.
    for (int attempt = 0; attempt < 5 && FPid <= 0; ++attempt) {
        const int port = FreeLoopbackPort();
        const std::string command = Prepare(port);
        if (command.empty()) return;
        std::vector<std::string> words = Words(command);
        std::vector<char*> argv;
        for (auto& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string out = FDir + "/stdout.log";
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t pid = -1;
        const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            FProblem = "cannot start " + words[0];
            return;
        }
        for (int i = 0; i < 500; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                break;
            }
            if (Accepts(port)) {
                FPid = pid;
                FPort = port;
                return;
            }
            ::usleep(10000);
        }
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        FProblem = words[0] + " did not start; see " + out;
    }
}

void ServerProcess::Stop() {
    if (FPid > 0) {
        ::kill(FPid, SIGTERM);
        int status = 0;
        bool gone = false;
        for (int i = 0; i < 300 && !gone; ++i) {
            gone = ::waitpid(FPid, &status, WNOHANG) == FPid;
            if (!gone) ::usleep(10000);
        }
        if (!gone) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, &status, 0);
        }
        FPid = -1;
    }
}

NginxServer::NginxServer() {
    FDir = MakeTempDir("zb-nginx-");
    std::filesystem::create_directories(Root());
    ::chmod(Root().c_str(), 0755);
    Start();
}

NginxServer::~NginxServer() {
    Stop();
    if (!FDir.empty()) std::filesystem::remove_all(FDir);
}

std::string NginxServer::Prepare(int port) {
    if (!NginxInstalled(FProblem)) return {};
    std::ofstream conf(FDir + "/nginx.conf");
    conf << NginxConfigHead(FDir) << "  server { listen 127.0.0.1:" << port << "; root " << Root()
         << "; }\n}\n";
    return NginxCommand(FDir);
}

NginxTlsServer::NginxTlsServer(std::vector<Certificate> certificates)
    : FCertificates(std::move(certificates)) {
    FDir = MakeTempDir("zb-nginx-tls-");
    std::filesystem::create_directories(Root());
    ::chmod(Root().c_str(), 0755);
    Start();
}

NginxTlsServer::~NginxTlsServer() {
    Stop();
    if (!FDir.empty()) std::filesystem::remove_all(FDir);
}

std::string NginxTlsServer::Prepare(int port) {
    if (!NginxInstalled(FProblem)) return {};
    const std::string common =
        " root " + Root() + "; location = /redirect { return 302 $arg_to; } }\n";
    std::ofstream conf(FDir + "/nginx.conf");
    conf << NginxConfigHead(FDir) << "  server { listen 127.0.0.1:" << port << ";" << common;
    FTlsPorts.clear();
    for (const Certificate& c : FCertificates) {
        const int tlsPort = FreeLoopbackPort();
        FTlsPorts.push_back(tlsPort);
        conf << "  server { listen 127.0.0.1:" << tlsPort << " ssl; ssl_certificate " << c.CertFile
             << "; ssl_certificate_key " << c.KeyFile << ";" << common;
    }
    conf << "}\n";
    return NginxCommand(FDir);
}

TinyProxy::TinyProxy(std::vector<int> connectPorts) : FConnectPorts(std::move(connectPorts)) {
    FDir = MakeTempDir("zb-tinyproxy-");
    Start();
}

TinyProxy::~TinyProxy() {
    Stop();
    if (!FDir.empty()) std::filesystem::remove_all(FDir);
}

std::string TinyProxy::Prepare(int port) {
    if (::access("/usr/bin/tinyproxy", X_OK) != 0) {
        FProblem = "tinyproxy is not installed";
        return {};
    }
    std::ofstream conf(FDir + "/tinyproxy.conf");
    conf << "Port " << port << "\nListen 127.0.0.1\nTimeout 60\n"
         << "LogFile \"" << FDir << "/tinyproxy.log\"\n"
         << "PidFile \"" << FDir << "/tinyproxy.pid\"\n"
         << "MaxClients 20\nAllow 127.0.0.1\nLogLevel Info\n";
    for (int connectPort : FConnectPorts)
        conf << "ConnectPort " << connectPort << "\n";
    return "/usr/bin/tinyproxy -d -c " + FDir + "/tinyproxy.conf";
}

}  // namespace zbtest
