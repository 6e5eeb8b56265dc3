#pragma once
// The command line of zunbarra-fetch.

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zb {

struct FetchOptions {
    std::string Method = "GET";
    std::string Data;
    bool HasData = false;
    std::string ProxyHost;
    int ProxyPort = 0;
    int TimeOut = 5000;
    int IdleTimeOut = 0;
    int ReportLevel = 0;
    std::string OutputFile;
    std::string HeaderFile;
    std::string User;
    std::string Password;
    std::string Cookie;
    std::string CaFile;     // trusted besides the system's certificates
    bool Insecure = false;  // https without checking the server's certificate
    std::string Url;
    StandardRequest Request = StandardRequest::None;
};

// Parses the arguments (without the program name). Raises EUsageError with a message for the
// user on a bad command line.
FetchOptions ParseFetchOptions(const std::vector<std::string>& args);

extern const ProgramUsage kFetchUsage;

}  // namespace zb
