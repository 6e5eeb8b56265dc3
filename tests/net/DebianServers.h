#pragma once
// Real Debian servers for the tests: nginx serving a folder and tinyproxy as an HTTP proxy, each
// started on an ephemeral loopback port with its own temporary configuration, pid and log files,
// and stopped (with its files removed) when the object goes.

#include <sys/types.h>

#include <string>
#include <vector>

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

// nginx serving one folder on a plain port (Port()) and on one TLS port per certificate, each
// answering /redirect?to=URL with a 302 to URL.
class NginxTlsServer : public ServerProcess {
public:
    struct Certificate {
        std::string CertFile;
        std::string KeyFile;
    };
    explicit NginxTlsServer(std::vector<Certificate> certificates);
    ~NginxTlsServer() override;
    std::string Root() const { return FDir + "/www"; }
    int TlsPort(std::size_t index) const { return FTlsPorts.at(index); }

protected:
    std::string Prepare(int port) override;

private:
    std::vector<Certificate> FCertificates;
    std::vector<int> FTlsPorts;
};

class TinyProxy : public ServerProcess {
public:
    // With connect ports, CONNECT is allowed to those ports only.
    explicit TinyProxy(std::vector<int> connectPorts = {});
    ~TinyProxy() override;

protected:
    std::string Prepare(int port) override;

private:
    std::vector<int> FConnectPorts;
};

}  // namespace zbtest
