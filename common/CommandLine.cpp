#include "common/CommandLine.h"

#include <limits>
#include <ostream>

namespace zb {

namespace {

StandardRequest StandardRequestOf(const std::string& arg) {
    if (arg == "-h" || arg == "--help") return StandardRequest::Help;
    if (arg == "--version") return StandardRequest::Version;
    return StandardRequest::None;
}

bool IsLong(std::string_view name) {
    return name.size() > 2 && name.starts_with("--");
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool ValidHost(std::string_view host) {
    if (host.empty()) return false;
    for (const char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0x7F || std::string_view("/?#@\\[]").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

bool ValidPort(std::string_view port) {
    if (!AllDigits(port) || port.size() > 5) return false;
    const int value = std::stoi(std::string(port));
    return value >= 1 && value <= 65535;
}

}  // namespace

const char* ProgramVersion() {
    return ZB_VERSION;
}

int AnswerRequest(const ProgramUsage& program, StandardRequest request, std::ostream& out) {
    if (request == StandardRequest::Version)
        out << program.Name << ' ' << ProgramVersion() << '\n';
    else
        out << program.Help;
    out.flush();
    return 0;
}

int ReportUsageError(const ProgramUsage& program, const std::string& message, std::ostream& err) {
    const std::size_t blank = program.Help.find("\n\n");
    const std::string_view synopsis =
        blank == std::string_view::npos ? program.Help : program.Help.substr(0, blank + 1);
    err << program.Name << ": " << message << '\n'
        << synopsis << "Try '" << program.Name << " --help'.\n";
    err.flush();
    return kExitUsage;
}

StandardRequest FindStandardRequest(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") break;
        const StandardRequest request = StandardRequestOf(arg);
        if (request != StandardRequest::None) return request;
    }
    return StandardRequest::None;
}

ArgumentReader::ArgumentReader(std::vector<std::string> args) : Args(std::move(args)) {}

bool ArgumentReader::Next() {
    if (Asked != StandardRequest::None) return false;
    if (Started) ++Index;
    Started = true;
    for (; Index < Args.size(); ++Index) {
        const std::string& arg = Args[Index];
        if (OptionsEnded) {
            CurrentIsOption = false;
            return true;
        }
        if (arg == "--") {
            OptionsEnded = true;
            continue;
        }
        CurrentIsOption = arg.size() > 1 && arg[0] == '-';
        Asked = StandardRequestOf(arg);
        return Asked == StandardRequest::None;
    }
    return false;
}

bool ArgumentReader::Operand() const {
    return !CurrentIsOption;
}

bool ArgumentReader::Flag(std::string_view name) const {
    if (!CurrentIsOption) return false;
    const std::string& arg = Current();
    if (arg == name) return true;
    if (IsLong(name) && arg.starts_with(name) && arg.size() > name.size() &&
        arg[name.size()] == '=')
        throw EUsageError(std::string(name) + " takes no value");
    return false;
}

bool ArgumentReader::Option(std::string_view name, std::string& value) {
    if (!CurrentIsOption) return false;
    const std::string& arg = Current();
    if (arg == name) {
        if (Index + 1 >= Args.size()) throw EUsageError(std::string(name) + " needs a value");
        value = Args[++Index];
        return true;
    }
    if (IsLong(name) && arg.starts_with(name) && arg.size() > name.size() &&
        arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

void ArgumentReader::Reject() const {
    throw EUsageError("unknown argument " + Quoted(Current()));
}

long NumberValue(std::string_view option, const std::string& text, long low, long high) {
    // At most 18 digits fit a long; longer texts are out of range anyway.
    const bool digits = AllDigits(text) && text.size() <= 18;
    const long value = digits ? std::stol(text) : -1;
    if (!digits || value < low || value > high) {
        const std::string range =
            high == std::numeric_limits<int>::max()
                ? "of at least " + std::to_string(low)
                : "from " + std::to_string(low) + " to " + std::to_string(high);
        throw EUsageError(std::string(option) + " needs a number " + range + ", not " +
                          Quoted(text));
    }
    return value;
}

bool ValidHostPort(const std::string& text, bool portRequired) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return !portRequired && ValidHost(text);
    return ValidHost(std::string_view(text).substr(0, colon)) &&
           ValidPort(std::string_view(text).substr(colon + 1));
}

HostPort HostPortValue(std::string_view option, const std::string& text, bool portRequired) {
    if (!ValidHostPort(text, portRequired)) {
        throw EUsageError(std::string(option) +
                          (portRequired ? " needs HOST:PORT" : " needs HOST or HOST:PORT") +
                          ", not " + Quoted(text));
    }
    const std::size_t colon = text.find(':');
    HostPort address;
    address.Host = text.substr(0, colon);
    if (colon != std::string::npos) address.Port = std::stoi(text.substr(colon + 1));
    return address;
}

}  // namespace zb
