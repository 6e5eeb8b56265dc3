#pragma once
// Real Debian servers for the tests: nginx serving a folder and tinyproxy as an HTTP proxy, each
// started on an ephemeral loopback port with its own temporary configuration, pid and log files,
// and stopped (with its files removed) when the object goes.

#include <sys/types.h>

#include <string>

namespace zbtest {

class ServerProcess {
public:
    ServerProcess() = default;
    virtual ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Running() const { return FPid > 0; }
    int Port() const { return FPort; }
    const std::string& Dir() const { return FDir; }
    // What went wrong when the server could not be started.
    const std::string& Problem() const { return FProblem; }

protected:
    // Writes the configuration for `port` and returns the command line; empty when the program
    // is missing.
    virtual std::string Prepare(int port) = 0;
    void Start();
    void Stop();

    std::string FDir;
    std::string FProblem;

private:
    pid_t FPid = -1;
    int FPort = 0;
};

class NginxServer : public ServerProcess {
public:
    NginxServer();
    ~NginxServer() override;
    // The folder nginx serves.
    std::string Root() const { return FDir + "/www"; }

protected:
    std::string Prepare(int port) override;
};

class TinyProxy : public ServerProcess {
public:
    TinyProxy();
    ~TinyProxy() override;

protected:
    std::string Prepare(int port) override;
};

}  // namespace zbtest
