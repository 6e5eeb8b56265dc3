// zunbarra-regex: the regular-expression engine from the shell. See Options.cpp for the command
// line. Exit status: 0 on success (grep: a line matched), 1 when grep found no line, 2 on any
// error, with the message on standard error.

#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "Options.h"
#include "regex/ERegExpParser.h"

namespace {

constexpr int kExitError = 2;

}  // namespace

int main(int argc, char** argv) {
    using namespace zb::tool;
    try {
        const Options o = ParseOptions({argv + 1, argv + argc});
        if (o.request != zb::StandardRequest::None)
            return zb::AnswerRequest(kRegexUsage, o.request, std::cout);
        if (o.command == "compile") return Compile(o);
        if (o.command == "match") return Match(o);
        if (o.command == "sub") return Substitute(o, false);
        if (o.command == "gsub") return Substitute(o, true);
        if (o.command == "split") return Split(o);
        if (o.command == "grep") return Grep(o);
        throw zb::EUsageError("unknown command \"" + o.command + "\"");
    } catch (const zb::EUsageError& e) {
        return zb::ReportUsageError(kRegexUsage, e.Message, std::cerr);
    } catch (const zb::ERegExpParser& e) {
        std::cerr << "error: position " << e.ErrorPos << ": " << e.Message << "\n";
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitError;
    }
}
