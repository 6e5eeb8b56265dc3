#include "CliOptions.h"

#include "app/SearchSession.h"
#include "common/Cp932.h"

namespace zb {

const ProgramUsage kCliUsage = {
    "zunbarra-cli",
    "usage: zunbarra-cli [--service HOST[:PORT]] --and WORDS [--not WORDS]\n"
    "                    [--adult-filter on|off] [--japanese] [--proxy HOST:PORT] [-o FILE]\n"
    "\n"
    "Runs one image search: asks the service for result pages of 20 hits, page after page\n"
    "while a next page is shown, and prints every thumbnail address on standard output as it\n"
    "is found. The address of each page requested and, at the end, why the search ended go to\n"
    "standard error.\n"
    "\n"
    "Options:\n"
    "  --service HOST[:PORT]  the image-search service (default 127.0.0.1:8930)\n"
    "  --and WORDS            words every result must contain (UTF-8, separated by blanks)\n"
    "  --not WORDS            words no result may contain\n"
    "  --adult-filter on|off  the service's adult filter (default on)\n"
    "  --japanese             results from Japanese-language pages only\n"
    "  --proxy HOST:PORT      send the requests through this HTTP proxy\n"
    "  -o FILE                also write the list: an empty first line, then one address a\n"
    "                         line, CR LF line ends, bytes as received (Shift_JIS)\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 when the search ended normally (no further page), 1 when it ended on a fetch error,\n"
    "  an error status or a scan error, 2 on a bad command line or output file, 130 when\n"
    "  interrupted.\n"};

namespace {

std::string Cp932Words(const std::string& option, const std::string& utf8) {
    try {
        return Utf8ToCp932(utf8);
    } catch (const std::exception& e) {
        throw EUsageError(option + ": " + e.what());
    }
}

}  // namespace

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
    CliOptions o;
    o.Service = kDefaultServiceHost;
    bool hasAnd = false;
    ArgumentReader reader(args);
    std::string v;
    while (reader.Next()) {
        if (reader.Option("--service", v)) {
            HostPortValue("--service", v, false);
            o.Service = v;
        } else if (reader.Option("--and", v)) {
            o.AndWords = Cp932Words("--and", v);
            hasAnd = true;
        } else if (reader.Option("--not", v)) {
            o.NotWords = Cp932Words("--not", v);
        } else if (reader.Option("--adult-filter", v)) {
            if (v != "on" && v != "off")
                throw EUsageError("--adult-filter needs on or off, not \"" + v + "\"");
            o.AdultFilter = v == "on";
        } else if (reader.Flag("--japanese")) {
            o.Japanese = true;
        } else if (reader.Option("--proxy", v)) {
            // The port stays text: the search converts it as the window's port field does.
            const std::size_t colon = v.rfind(':');
            if (colon == std::string::npos || colon == 0)
                throw EUsageError("--proxy needs HOST:PORT, not \"" + v + "\"");
            o.UseProxy = true;
            o.ProxyHost = v.substr(0, colon);
            o.ProxyPort = v.substr(colon + 1);
        } else if (reader.Option("-o", v)) {
            o.OutputFile = v;
            if (o.OutputFile.empty()) throw EUsageError("-o needs a file name");
        } else {
            reader.Reject();
        }
    }
    o.Request = reader.Request();
    if (o.Request != StandardRequest::None) return o;
    if (!hasAnd) throw EUsageError("--and WORDS is required");
    if (o.AndWords.empty()) throw EUsageError("--and needs at least one character");
    return o;
}

}  // namespace zb
