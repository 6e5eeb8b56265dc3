#pragma once
// The command line of zunbarra-service.

#include <cstddef>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "service/FaultModes.h"
#include "service/PageLayout.h"

namespace zb {

struct ServiceOptions {
    std::string Host = "127.0.0.1";
    int Port = 0;
    std::size_t Images = 0;  // corpus size; 0 = the default
    PageLayout Layout = PageLayout::Classic;
    FaultModes Faults;
    StandardRequest Request = StandardRequest::None;
    bool Expect = false;      // print what a search lists instead of serving
    std::string ExpectQuery;  // the query string, target or address to look up
};

extern const ProgramUsage kServiceUsage;

// Parses the arguments after the program name. Raises EUsageError with a one-line message for an
// unknown option, a missing value or a value out of range.
ServiceOptions ParseServiceOptions(const std::vector<std::string>& args);

}  // namespace zb
