#pragma once
// A loopback relay for one connection to a local server that passes bytes both ways until it
// has passed a given number of the server's bytes, then closes the connection to the client
// without a word: at exactly that byte, or at the first TLS record boundary from there on.

#include <cstddef>
#include <thread>

namespace zbtest {

class CuttingRelay {
public:
    CuttingRelay(int targetPort, std::size_t cutAfter, bool atRecordBoundary);
    ~CuttingRelay();
    CuttingRelay(const CuttingRelay&) = delete;
    CuttingRelay& operator=(const CuttingRelay&) = delete;

    int Port() const { return FPort; }

private:
    void Run();

    int FListen = -1;
    int FPort = 0;
    int FTargetPort;
    std::size_t FCutAfter;
    bool FAtBoundary;
    std::thread FThread;
};

}  // namespace zbtest
