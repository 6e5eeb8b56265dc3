#pragma once
// A loopback TCP server on an ephemeral port that plays one script per accepted connection
// (in order) on its own thread, and records the bytes each request brought.

#include <netinet/in.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zbtest {

// The IPv4 loopback address with the given port.
sockaddr_in Loopback(int port);

struct Step {
    enum Kind {
        ReadRequest,   // read a request header (and its Content-Length body)
        Send,          // send the data in one write
        SendBytewise,  // send the data one byte per write
        SleepMs,       // pause
        Close,         // orderly close
        Reset,         // close with a reset (RST)
        Hold,          // keep the connection open until the server stops
        Drain,         // record everything until the client closes, even while stopping
    };
    Kind kind;
    std::string data;
    int ms = 0;
};

class ScriptedServer {
public:
    // accept=false: a listener whose queue is full and that never accepts, so connecting to it
    // never completes.
    explicit ScriptedServer(bool accept = true);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return FPort; }
    void AddConnection(std::vector<Step> script);
    // Shorthand: read the request, send the response, close.
    void Respond(const std::string& response);
    // The bytes received on each connection so far.
    std::vector<std::string> Requests();
    // Number of connections accepted.
    int Accepted();
    void Stop();

private:
    void Run();
    void Play(int fd, const std::vector<Step>& script, std::size_t index);
    bool WaitReadable(int fd, int ms);

    int FListen = -1;
    int FPort = 0;
    int FWake[2] = {-1, -1};
    bool FAccept = true;
    std::vector<int> FFillers;
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::deque<std::vector<Step>> FScripts;
    std::vector<std::string> FRequests;
    int FAccepted = 0;
    std::thread FThread;
};

}  // namespace zbtest
