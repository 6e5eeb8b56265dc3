#pragma once
// The command line of zunbarra-cli. Words arrive as UTF-8 and are kept as CP932 bytes.

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zb {

struct CliOptions {
    std::string Service;   // HOST or HOST:PORT
    std::string AndWords;  // CP932
    std::string NotWords;  // CP932
    bool AdultFilter = true;
    bool Japanese = false;
    bool UseProxy = false;
    std::string ProxyHost;  // as given
    std::string ProxyPort;  // text, converted by the search command
    std::string OutputFile;
    StandardRequest Request = StandardRequest::None;
};

// Parses the arguments (without the program name). Raises EUsageError with a message for the
// user on a bad command line.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

extern const ProgramUsage kCliUsage;

}  // namespace zb
