#pragma once
// Errors of the socket session and the HTTP client. Each carries only its message text.

#include "common/Exception.h"

namespace zb {

// A network operation failed (lookup, connection, transfer, protocol).
class ESockError : public Exception {
public:
    using Exception::Exception;
};

// A transfer ended because it was canceled.
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

}  // namespace zb
