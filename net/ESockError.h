#pragma once
// Errors of the socket session and the HTTP client. Besides its message text each carries the
// error number behind it (0 when there is none) and the kind of failure, so that a caller can
// tell a time-out from a refusal without reading the text. An error raised because of another
// one keeps it as its nested exception (std::rethrow_if_nested gives it back).

#include <string>
#include <utility>

#include "common/Exception.h"

namespace zb {

enum class SockErrorKind {
    Other,     // none of the kinds below (a local failure, a call in the wrong state)
    TimeOut,   // a time limit ran out: host lookup, connection set-up, an idle transfer
    Refused,   // the server refused the connection
    Lookup,    // the host name gave no address
    Reset,     // the connection broke: reset by the peer or aborted by the network
    Closed,    // the connection was closed, or never open, when the operation needed it
    Aborted,   // the program canceled the operation
    Protocol,  // the peer's data break the protocol (bad status line, overlong line or header)
    Tls,       // the TLS layer failed: a refused certificate, a broken handshake or record
};

// A network operation failed (lookup, connection, transfer, protocol).
class ESockError : public Exception {
public:
    explicit ESockError(std::string message, SockErrorKind kind = SockErrorKind::Other,
                        int code = 0)
        : Exception(std::move(message)), FKind(kind), FCode(code) {}

    SockErrorKind Kind() const { return FKind; }
    // The session's error number (see SockErrorTable.h), 0 when the failure has none.
    int Code() const { return FCode; }

private:
    SockErrorKind FKind;
    int FCode;
};

// A transfer ended because it was canceled.
class EAbortError : public ESockError {
public:
    explicit EAbortError(std::string message)
        : ESockError(std::move(message), SockErrorKind::Aborted) {}
};

}  // namespace zb
