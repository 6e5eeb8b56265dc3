#pragma once
// The base of every exception the system raises: a message text (UTF-8) and nothing else.
// Subsystems derive their named exceptions from it.

#include <exception>
#include <string>
#include <utility>

namespace zb {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// Failures of file input and output.
class EInOutError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace zb
