#pragma once
// Command-line options of zunbarra-regex, shared by its subcommands.

#include <string>
#include <vector>

namespace zb::tool {

struct UsageError {
    std::string message;
};

struct Options {
    bool utf8 = false;           // PATTERN and REPLACEMENT are UTF-8, converted to CP932
    bool fuzzy = false;          // use the built-in fuzzy-character dictionary
    bool lineMarkersLF = false;  // compile: LF as the line-head and line-tail marker
    bool lf = false;             // match/sub/gsub/split: LF ends a line for "$"
    bool lineNumbers = false;    // grep -n
    bool countOnly = false;      // grep -c
    std::vector<std::string> args;
};

// Parses the options after the subcommand; "--" ends them.
Options ParseOptions(const std::vector<std::string>& argv);

}  // namespace zb::tool
