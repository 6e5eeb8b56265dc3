#pragma once
// Test helpers around the service program: start zunbarra-service on a free loopback port,
// collect its log lines, stop it; and a raw HTTP exchange over a plain socket, so a test sees
// exactly the bytes on the wire.

#include <sys/types.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zb::test {

class ServiceProcess {
public:
    // Starts <bin>/zunbarra-service --port 0 with the extra arguments and reads the port from
    // its first output line. Raises std::runtime_error when it does not start.
    explicit ServiceProcess(const std::vector<std::string>& args = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    int Port() const { return port_; }

    // Waits until at least count log lines have arrived (or the program ended, or a minute has
    // passed, so a broken service fails the test instead of hanging it) and returns all lines.
    std::vector<std::string> WaitForLog(std::size_t count);

    // Stops the program with SIGTERM and returns its exit status (-1 if a signal ended it).
    int Stop();

    // The program beside the running test executable.
    static std::string ProgramPath();

private:
    void ReadLog(int fd);

    pid_t pid_ = -1;
    int port_ = 0;
    int exitStatus_ = -1;
    std::thread logReader_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::string> lines_;
    bool logClosed_ = false;
};

// The output of a program run to its end.
struct ProgramRun {
    int ExitStatus = -1;
    std::string Out;
    std::string Err;
};
ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args);

// A connected loopback socket (blocking, with a one-minute receive guard).
int ConnectLoopback(int port);

// What came back on one connection.
struct RawReply {
    std::string Bytes;  // everything received
    int Error = 0;      // errno of the receive that failed, 0 when the peer closed normally
};

// Sends request as given and reads until the service closes the connection (or resets it).
RawReply Exchange(int port, const std::string& request);

// Reads from fd until the peer closes or a receive fails.
RawReply ReadToEnd(int fd);

// A response split into status, header values (names lower-cased) and body.
struct ParsedReply {
    int Status = 0;
    std::map<std::string, std::string> Headers;
    std::string Body;

    // The value of a header line, "" when there is none.
    std::string Header(const std::string& lowerCaseName) const {
        const auto it = Headers.find(lowerCaseName);
        return it == Headers.end() ? "" : it->second;
    }
};
ParsedReply ParseReply(const std::string& bytes);

// GET target over HTTP/1.0 with the header lines the system's own client sends.
ParsedReply Get(int port, const std::string& target);

}  // namespace zb::test
