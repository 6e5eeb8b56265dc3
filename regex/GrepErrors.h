#pragma once
// Exceptions of the text-file reader and the line search.

#include <string>

#include "common/Exception.h"

namespace zb {

// The end of the file was reached (or the file is empty).
class EEndOfFile : public EInOutError {
public:
    EEndOfFile() : EInOutError("End Of File") {}
};

// The file could not be opened; the message is the system's.
class EFileNotFound : public EInOutError {
public:
    using EInOutError::EInOutError;
};

// The search was cancelled through its Cancel flag.
class EGrepCancel : public Exception {
public:
    EGrepCancel() : Exception("CancelRequest") {}
};

}  // namespace zb
