#pragma once
// The command line of the window program: zunbarra [--service HOST[:PORT]] [--help].

#include <string>
#include <vector>

namespace zb {

struct WindowOptions {
    std::string Service;  // HOST or HOST:PORT; empty: the session's default
    bool Help = false;
};

// Parses the arguments after the program name (those Qt took for itself removed). Raises
// std::invalid_argument with a message for the user on a bad command line.
WindowOptions ParseWindowOptions(const std::vector<std::string>& args);

// Whether text is HOST or HOST:PORT with a port from 1 to 65535.
bool ValidServiceAddress(const std::string& text);

extern const char* const kWindowUsage;

}  // namespace zb
