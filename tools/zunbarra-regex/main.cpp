// zunbarra-regex: the regular-expression engine from the shell.
//
//   zunbarra-regex compile [--utf8] [--fuzzy] [--line-markers lf] PATTERN
//   zunbarra-regex match   [--utf8] [--fuzzy] [--lf] PATTERN FILE
//   zunbarra-regex sub     [--utf8] [--fuzzy] [--lf] PATTERN REPLACEMENT FILE
//   zunbarra-regex gsub    [--utf8] [--fuzzy] [--lf] PATTERN REPLACEMENT FILE
//   zunbarra-regex split   [--utf8] [--fuzzy] [--lf] PATTERN FILE
//   zunbarra-regex grep    [--utf8] [--fuzzy] [-n] [-c] PATTERN FILE...
//
// PATTERN and REPLACEMENT are raw bytes (CP932); --utf8 converts them from UTF-8 first. Files are
// read as bytes. Exit status: 0 on success (grep: a line matched), 1 when grep found no line,
// 2 on any error, with the message on standard error.

#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "Options.h"
#include "regex/ERegExpParser.h"

namespace {

constexpr int kExitError = 2;

const char* const kUsage =
    "usage: zunbarra-regex compile [--utf8] [--fuzzy] [--line-markers lf] PATTERN\n"
    "       zunbarra-regex match [--utf8] [--fuzzy] [--lf] PATTERN FILE\n"
    "       zunbarra-regex sub|gsub [--utf8] [--fuzzy] [--lf] PATTERN REPLACEMENT FILE\n"
    "       zunbarra-regex split [--utf8] [--fuzzy] [--lf] PATTERN FILE\n"
    "       zunbarra-regex grep [--utf8] [--fuzzy] [-n] [-c] PATTERN FILE...\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace zb::tool;
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError{"no command given"};
        const std::string& command = args.front();
        const Options o = ParseOptions({args.begin() + 1, args.end()});
        if (command == "compile") return Compile(o);
        if (command == "match") return Match(o);
        if (command == "sub") return Substitute(o, false);
        if (command == "gsub") return Substitute(o, true);
        if (command == "split") return Split(o);
        if (command == "grep") return Grep(o);
        throw UsageError{"unknown command '" + command + "'"};
    } catch (const UsageError& e) {
        std::cerr << "zunbarra-regex: " << e.message << "\n" << kUsage;
        return kExitError;
    } catch (const zb::ERegExpParser& e) {
        std::cerr << "error: position " << e.ErrorPos << ": " << e.Message << "\n";
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitError;
    }
}
