#pragma once
// The service's HTTP server: listens on one address, serves each connection on a thread of its
// own (one request per connection, HTTP/1.0), commits the configured faults and writes one log
// line per request:
//
//   METHOD TARGET STATUS[ (NOTE)]
//
// TARGET is the request target byte for byte as received (control bytes shown as \xHH), STATUS
// the status sent or "-" when none was, NOTE names a fault committed on the connection. A line is
// written before its connection ends, so sequential requests are logged in their order.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "service/FaultModes.h"
#include "service/HttpRequest.h"
#include "service/HttpResponse.h"
#include "service/ImageService.h"

namespace zb {

class ServiceServer {
public:
    using LogSink = std::function<void(const std::string& line)>;

    // log receives each line without its line end; by default lines go to standard error.
    ServiceServer(const ImageService& service, FaultModes faults, LogSink log = {});
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // Binds host (a name or numeric address) and port (0: any free port) and listens. Returns
    // the port. Raises zb::Exception when the address cannot be resolved or bound.
    int Listen(const std::string& host, int port);

    // Serves until Stop; then waits for every connection to finish. Connections that wait
    // (delays, kept-open connections, slow clients) end at once on Stop.
    void Run();

    // Safe from a signal handler and from any thread.
    void Stop();

private:
    struct Connection {
        std::thread Thread;
        std::atomic<bool> Done{false};
    };
    enum class Wait { Ready, TimedOut, Stopped };

    void Serve(int fd);
    void Answer(int fd, const HttpRequest& request);
    bool ReadHead(int fd, std::string& head);
    Wait WaitFor(int fd, short events, int timeoutMs) const;
    bool SendAll(int fd, const std::string& data) const;
    void CloseGracefully(int fd) const;
    void ReapConnections(bool all);
    void Log(const std::string& method, const std::string& target, const std::string& status,
             const std::string& note = "");
    HttpResponse Redirect(int fd, const HttpRequest& request) const;
    // Counts a request the faults are about and tells whether it gets them.
    bool IsFaulty(RequestKind kind);

    const ImageService& service_;
    const FaultModes faults_;
    LogSink log_;
    std::mutex logMutex_;
    int listenFd_ = -1;
    int stopRead_ = -1;
    int stopWrite_ = -1;
    std::atomic<int> requestCount_{0};
    std::atomic<bool> redirected_{false};
    std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace zb
