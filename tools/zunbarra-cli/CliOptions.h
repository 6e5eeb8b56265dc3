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
    // Downloads and politeness; off by default.
    std::string DownloadDir;   // save each thumbnail here (empty: none)
    int Jobs = 4;              // downloads at once
    std::string ArchiveFile;   // addresses already downloaded, skipped and appended to
    std::string ManifestFile;  // one JSON line per address
    bool Unique = false;       // list and fetch each address once
    int DelayMs = 0;           // pause between page requests
    int Retries = 0;           // extra tries after a 429 or 503, for pages and thumbnails
    // Another service shape, and https.
    std::string ProfileFile;    // a search profile (empty: the built-in one)
    bool ServiceGiven = false;  // --service was given (with a profile it replaces its host)
    std::string CaFile;         // trusted besides the system's certificates
    bool Insecure = false;      // no certificate check
    StandardRequest Request = StandardRequest::None;

    // Whether any of the options beyond the plain search is in use.
    bool Extended() const { return !DownloadDir.empty() || Unique || DelayMs > 0 || Retries > 0; }
};

// Parses the arguments (without the program name). Raises EUsageError with a message for the
// user on a bad command line.
CliOptions ParseCliOptions(const std::vector<std::string>& args);

extern const ProgramUsage kCliUsage;

}  // namespace zb
