#pragma once
// The command line of zunbarra-regex: a command and the options its commands share.

#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zb::tool {

struct Options {
    std::string command;            // compile, match, sub, gsub, split or grep
    bool utf8 = false;              // PATTERN and REPLACEMENT are UTF-8, converted to CP932
    bool fuzzy = false;             // use the built-in fuzzy-character dictionary
    bool lineMarkersLF = false;     // compile: LF as the line-head and line-tail marker
    bool lf = false;                // match/sub/gsub/split: LF ends a line for "$"
    bool lineNumbers = false;       // grep -n
    bool countOnly = false;         // grep -c
    std::vector<std::string> args;  // the operands after the command
    StandardRequest request = StandardRequest::None;
};

// Parses the arguments after the program name: the first operand is the command; "--" ends the
// options. Raises EUsageError on a bad command line.
Options ParseOptions(const std::vector<std::string>& argv);

extern const ProgramUsage kRegexUsage;

}  // namespace zb::tool
