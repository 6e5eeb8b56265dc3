#pragma once
// Runs a command-line program of the project and captures its exit status and output.

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zb::test {

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs program with args (passed as they are, no shell), standard input from /dev/null.
inline ToolResult runTool(const std::string& program, const std::vector<std::string>& args) {
    char outName[] = "/tmp/zb-tool-out-XXXXXX";
    char errName[] = "/tmp/zb-tool-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    ToolResult r;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    close(outFd);
    close(errFd);
    r.out = readFile(outName);
    r.err = readFile(errName);
    unlink(outName);
    unlink(errName);
    return r;
}

}  // namespace zb::test
