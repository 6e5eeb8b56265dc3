#include "CliOptions.h"

#include <stdexcept>

#include "app/SearchSession.h"
#include "regex/Cp932.h"

namespace zb {

const char* const kCliUsage =
    "usage: zunbarra-cli [--service HOST[:PORT]] --and WORDS [--not WORDS]\n"
    "                    [--adult-filter on|off] [--japanese] [--proxy HOST:PORT] [-o FILE]\n"
    "\n"
    "Runs one image search: asks the service for result pages of 20 hits, page after page\n"
    "while a next page is shown, and prints every thumbnail address on standard output as it\n"
    "is found. The address of each page requested and, at the end, why the search ended go to\n"
    "standard error.\n"
    "\n"
    "  --service HOST[:PORT]  the image-search service (default 127.0.0.1:8930)\n"
    "  --and WORDS            words every result must contain (UTF-8, separated by blanks)\n"
    "  --not WORDS            words no result may contain\n"
    "  --adult-filter on|off  the service's adult filter (default on)\n"
    "  --japanese             results from Japanese-language pages only\n"
    "  --proxy HOST:PORT      send the requests through this HTTP proxy\n"
    "  -o FILE                also write the list: an empty first line, then one address a\n"
    "                         line, CR LF line ends, bytes as received (Shift_JIS)\n"
    "  --help                 show this text\n"
    "\n"
    "Exit status: 0 when the search ended normally (no further page), 1 when it ended on a\n"
    "fetch error, an error status or a scan error, 2 on a bad command line or output file,\n"
    "130 when interrupted.\n";

namespace {

std::string Cp932Words(const std::string& option, const std::string& utf8) {
    try {
        return Utf8ToCp932(utf8);
    } catch (const std::exception& e) {
        throw std::invalid_argument(option + ": " + e.what());
    }
}

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

void CheckService(const std::string& service) {
    const std::size_t colon = service.find(':');
    const std::string host = service.substr(0, colon);
    bool ok = !host.empty() && host.find_first_of("/?#@ ") == std::string::npos;
    if (ok && colon != std::string::npos) {
        const std::string port = service.substr(colon + 1);
        ok =
            AllDigits(port) && port.size() <= 5 && std::stoi(port) >= 1 && std::stoi(port) <= 65535;
    }
    if (!ok)
        throw std::invalid_argument("--service needs HOST or HOST:PORT, not \"" + service + "\"");
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
    CliOptions o;
    o.Service = kDefaultServiceHost;
    bool hasAnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--service") {
            o.Service = value();
            CheckService(o.Service);
        } else if (a == "--and") {
            o.AndWords = Cp932Words(a, value());
            hasAnd = true;
        } else if (a == "--not") {
            o.NotWords = Cp932Words(a, value());
        } else if (a == "--adult-filter") {
            const std::string& v = value();
            if (v != "on" && v != "off") {
                throw std::invalid_argument("--adult-filter needs on or off, not \"" + v + "\"");
            }
            o.AdultFilter = v == "on";
        } else if (a == "--japanese") {
            o.Japanese = true;
        } else if (a == "--proxy") {
            const std::string& v = value();
            const std::size_t colon = v.rfind(':');
            if (colon == std::string::npos || colon == 0) {
                throw std::invalid_argument("--proxy needs HOST:PORT, not \"" + v + "\"");
            }
            o.UseProxy = true;
            o.ProxyHost = v.substr(0, colon);
            o.ProxyPort = v.substr(colon + 1);
        } else if (a == "-o") {
            o.OutputFile = value();
            if (o.OutputFile.empty()) throw std::invalid_argument("-o needs a file name");
        } else {
            throw std::invalid_argument("unknown argument \"" + a + "\"");
        }
    }
    if (!o.Help && !hasAnd) throw std::invalid_argument("--and WORDS is required");
    if (!o.Help && o.AndWords.empty()) {
        throw std::invalid_argument("--and needs at least one character");
    }
    return o;
}

}  // namespace zb
