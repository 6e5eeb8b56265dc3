#pragma once
// The command line of the window program: zunbarra [--service HOST[:PORT]] [--profile FILE].

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zb {

struct WindowOptions {
    std::string Service;  // HOST or HOST:PORT; empty: the session's default
    std::string Profile;  // a search profile file; empty: the built-in profile
    StandardRequest Request = StandardRequest::None;
};

// Parses the arguments after the program name (those Qt took for itself removed). Raises
// EUsageError with a message for the user on a bad command line.
WindowOptions ParseWindowOptions(const std::vector<std::string>& args);

extern const ProgramUsage kWindowUsage;

}  // namespace zb
