#pragma once
// Faults the service can be told to commit, so that clients can be tested against them. They
// apply to every request after the first Skip (counted over all requests of the run).

namespace zb {

struct FaultModes {
    int DelayMs = 0;             // wait this long before answering
    bool Drop = false;           // close the connection without any answer
    bool ResetMidBody = false;   // send the head and half the body, then reset the connection
    bool RedirectFirst = false;  // answer the first such request with 302 to the same address
    int Status = 0;              // answer with this error status (400-599) and an error page
    bool NeverClose = false;     // keep the connection open after the body until the peer closes
    bool NoNextMarker = false;   // result pages lack the next-page line
    int DoubleSrcHit = 0;        // > 0: that hit of each result page has "src=" written twice
    int Skip = 0;                // the first Skip requests are answered without faults
};

}  // namespace zb
