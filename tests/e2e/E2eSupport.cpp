#include "E2eSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>

namespace zb::test {

namespace fs = std::filesystem;

namespace {

fs::path MakeTempFolder(const std::string& prefix) {
    std::string pattern = testing::TempDir() + prefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
    ::chmod(pattern.c_str(), 0755);
    return pattern;
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
