#pragma once
// Faults the service can be told to commit, so that clients can be tested against them. They
// apply to the requests of the kind Scope names, after the first Skip of them and up to Count of
// them (counted over the run); the thumbnail delay applies to every thumbnail request.

#include <optional>
#include <string>

#include "service/HttpRequest.h"
#include "service/PageLayout.h"

namespace zb {

// Which requests a fault mode is about.
enum class FaultScope {
    All,         // every request
    Pages,       // result pages: /images?q=WORDS...
    Thumbnails,  // thumbnails: /images?q=tbn:ID
};

struct FaultModes {
    int DelayMs = 0;             // wait this long before answering
    bool Drop = false;           // close the connection without any answer
    bool ResetMidBody = false;   // send the head and half the body, then reset the connection
    bool RedirectFirst = false;  // answer the first such request with 302 to the same address
    int Status = 0;              // answer with this error status (400-599) and an error page
    bool NeverClose = false;     // keep the connection open after the body until the peer closes
    bool NoNextMarker = false;   // result pages lack the next-page line
    int DoubleSrcHit = 0;        // > 0: that hit of each result page has "src=" written twice
    std::optional<std::string> RetryAfter;  // faulted answers carry "Retry-After: <this>"
    int Skip = 0;                           // the first Skip requests are answered without faults
    int Count = -1;                         // >= 0: only that many requests after Skip are faulted
    FaultScope Scope = FaultScope::All;     // the requests counted and faulted
    int ThumbDelayMs = 0;                   // every thumbnail waits this long before its answer
};

// The kind of a request, for FaultScope: a thumbnail, a result page, or something else (the
// start page, an unknown path, a bad query). /search is a result page in the modern layout only.
enum class RequestKind { Thumbnail, ResultPage, Other };
RequestKind KindOf(const HttpRequest& request, PageLayout layout = PageLayout::Classic);

// True when faults of that scope are about requests of that kind.
bool InScope(FaultScope scope, RequestKind kind);

}  // namespace zb
