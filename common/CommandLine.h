#pragma once
// The command-line conventions of the system's programs, and a reader for their arguments.
//   -h, --help   the help text on standard output, exit status 0
//   --version    "NAME VERSION" on standard output, exit status 0
//   a bad command line: "NAME: message", the synopsis and "Try 'NAME --help'." on standard
//   error, exit status 2
// A long option takes its value as "--name value" or "--name=value"; "--" ends the options.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "common/Exception.h"

namespace zb {

inline constexpr int kExitUsage = 2;

// A bad command line; the message says which argument is wrong and why.
class EUsageError : public Exception {
public:
    using Exception::Exception;
};

// The system's version as the build names it, e.g. "0.1".
const char* ProgramVersion();

// A program as its command line presents it: the name in messages and the --help text, whose
// first paragraph (up to the first empty line) is the synopsis.
struct ProgramUsage {
    std::string_view Name;
    std::string_view Help;
};

// What -h, --help or --version asked for.
enum class StandardRequest { None, Help, Version };

// Writes the answer to a help or version request; returns the exit status 0.
int AnswerRequest(const ProgramUsage& program, StandardRequest request, std::ostream& out);

// Writes the report of a bad command line; returns the exit status kExitUsage.
int ReportUsageError(const ProgramUsage& program, const std::string& message, std::ostream& err);

// The first -h, --help or --version before "--", for a program that must answer them before it
// can read the rest of its command line.
StandardRequest FindStandardRequest(const std::vector<std::string>& args);

// Walks through the arguments after the program name, one at a time.
class ArgumentReader {
public:
    explicit ArgumentReader(std::vector<std::string> args);

    // Moves to the next argument; false after the last one. -h, --help and --version end the
    // walk too (see Request), so every program answers them, and answers them before it
    // checks what the rest of its command line lacks.
    bool Next();
    StandardRequest Request() const { return Asked; }

    // The current argument as given.
    const std::string& Current() const { return Args[Index]; }
    // Whether the current argument is an operand: it does not start with '-', is "-" alone, or
    // follows "--".
    bool Operand() const;
    // Whether the current argument is the option `name`, which takes no value ("--name=x" is
    // refused).
    bool Flag(std::string_view name) const;
    // Whether the current argument is the option `name`; its value, the next argument or (for a
    // long option) the text after '=', goes to value.
    bool Option(std::string_view name, std::string& value);
    // Refuses the current argument as unknown.
    [[noreturn]] void Reject() const;

private:
    std::vector<std::string> Args;
    std::size_t Index = 0;
    bool Started = false;
    bool OptionsEnded = false;     // "--" was seen
    bool CurrentIsOption = false;  // the current argument came before "--" and looks like one
    StandardRequest Asked = StandardRequest::None;
};

// The value of an option as a whole number from low to high.
long NumberValue(std::string_view option, const std::string& text, long low, long high);

// A network address as given on the command line.
struct HostPort {
    std::string Host;
    int Port = 0;  // 0: none given
};

// Reads HOST[:PORT] (HOST:PORT when portRequired). The host is not empty and holds none of
// / ? # @ \ [ ], space or control characters, which would end it inside an address or do not
// belong in a host name; the port is a number from 1 to 65535.
HostPort HostPortValue(std::string_view option, const std::string& text, bool portRequired);

// Whether HostPortValue accepts text.
bool ValidHostPort(const std::string& text, bool portRequired);

}  // namespace zb
