#include "app/WindowOptions.h"

#include <stdexcept>

namespace zb {

const char* const kWindowUsage =
    "usage: zunbarra [--service HOST[:PORT]]\n"
    "\n"
    "Opens the Zunbarra Image Searcher window. Type the words every result must contain and the\n"
    "words none may contain, choose the filters and an optional HTTP proxy, and press\n"
    "\"Search and Get\": result pages are fetched 20 hits at a time and every thumbnail address\n"
    "is appended to the list; \"Save URLs\" writes the list (CR LF line ends, Shift_JIS).\n"
    "\n"
    "  --service HOST[:PORT]  the image-search service (default 127.0.0.1:8930, where\n"
    "                         zunbarra-service --port 8930 listens)\n"
    "  --help                 show this text\n";

namespace {

bool ValidPort(const std::string& port) {
    if (port.empty() || port.size() > 5) return false;
    for (const char c : port)
        if (c < '0' || c > '9') return false;
    const int value = std::stoi(port);
    return value >= 1 && value <= 65535;
}

bool ValidHost(const std::string& host) {
    if (host.empty()) return false;
    for (const char c : host) {
        // Characters that would end the host part of an address, or not belong in it.
        if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '?' || c == '#' || c == '@' ||
            c == '\\' || c == '[' || c == ']' || c == 0x7F)
            return false;
    }
    return true;
}

}  // namespace

bool ValidServiceAddress(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return ValidHost(text);
    return ValidHost(text.substr(0, colon)) && ValidPort(text.substr(colon + 1));
}

WindowOptions ParseWindowOptions(const std::vector<std::string>& args) {
    WindowOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            options.Help = true;
        } else if (a == "--service" || a.rfind("--service=", 0) == 0) {
            std::string value;
            if (a == "--service") {
                if (i + 1 >= args.size()) throw std::invalid_argument("--service needs a value");
                value = args[++i];
            } else {
                value = a.substr(10);
            }
            if (!ValidServiceAddress(value))
                throw std::invalid_argument("--service needs HOST or HOST:PORT, not \"" + value +
                                            "\"");
            options.Service = value;
        } else {
            throw std::invalid_argument("unknown argument \"" + a + "\"");
        }
    }
    return options;
}

}  // namespace zb
