#include "service/ServiceOptions.h"

#include <algorithm>

#include "common/Exception.h"

namespace zb {

const char* const kServiceUsage =
    "usage: zunbarra-service [--host ADDR] [--port N] [--images N] [FAULTS]\n"
    "       zunbarra-service --expect QUERY [--images N]\n"
    "\n"
    "Serves image searches over HTTP/1.0: GET /images?q=WORDS&num=20&start=N&hl=ja\n"
    "&imgsafe=on|off[&lr=lang_ja] answers a Shift_JIS result page, GET /images?q=tbn:ID a\n"
    "PNG thumbnail. The first line on standard output is port=N; each request is logged on\n"
    "standard error as: METHOD TARGET STATUS [(NOTE)].\n"
    "\n"
    "  --host ADDR         address to listen on (default 127.0.0.1)\n"
    "  --port N            port to listen on; 0 (default) picks a free one\n"
    "  --images N          size of the generated corpus (default 3000)\n"
    "  --expect QUERY      print the thumbnail paths a search lists over all its pages, one a\n"
    "                      line, and exit; QUERY is a query string, /images?... or http://...\n"
    "  --help              show this text\n"
    "\n"
    "Faults (for tests; they apply to every request after the first --fault-skip ones):\n"
    "  --delay MS          wait MS milliseconds before answering\n"
    "  --drop              close the connection without answering\n"
    "  --reset             send the head and half the body, then reset the connection\n"
    "  --redirect-first    answer the first request with 302 to the same address\n"
    "  --status CODE       answer with that error status (400-599)\n"
    "  --never-close       keep the connection open after the body\n"
    "  --no-next-marker    leave the next-page line (nav_next.gif) out of result pages\n"
    "  --double-src K      write hit K (1-based) of each result page with src= twice\n"
    "  --fault-skip N      answer the first N requests without faults\n";

namespace {

long Number(const std::string& option, const std::string& text, long low, long high) {
    const bool digits =
        !text.empty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long value = digits ? std::stol(text) : -1;
    if (value < low || value > high) {
        throw Exception(option + " needs a number from " + std::to_string(low) + " to " +
                        std::to_string(high) + ", not \"" + text + "\"");
    }
    return value;
}

}  // namespace

ServiceOptions ParseServiceOptions(const std::vector<std::string>& args) {
    ServiceOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw Exception(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--host") {
            o.Host = value();
            if (o.Host.empty()) throw Exception("--host needs an address");
        } else if (a == "--port") {
            o.Port = static_cast<int>(Number(a, value(), 0, 65535));
        } else if (a == "--images") {
            o.Images = static_cast<std::size_t>(Number(a, value(), 1, 200000));
        } else if (a == "--expect") {
            o.Expect = true;
            o.ExpectQuery = value();
        } else if (a == "--delay") {
            o.Faults.DelayMs = static_cast<int>(Number(a, value(), 0, 3600000));
        } else if (a == "--drop") {
            o.Faults.Drop = true;
        } else if (a == "--reset") {
            o.Faults.ResetMidBody = true;
        } else if (a == "--redirect-first") {
            o.Faults.RedirectFirst = true;
        } else if (a == "--status") {
            o.Faults.Status = static_cast<int>(Number(a, value(), 400, 599));
        } else if (a == "--never-close") {
            o.Faults.NeverClose = true;
        } else if (a == "--no-next-marker") {
            o.Faults.NoNextMarker = true;
        } else if (a == "--double-src") {
            o.Faults.DoubleSrcHit = static_cast<int>(Number(a, value(), 1, 100));
        } else if (a == "--fault-skip") {
            o.Faults.Skip = static_cast<int>(Number(a, value(), 0, 100000000));
        } else {
            throw Exception("unknown option \"" + a + "\"");
        }
    }
    return o;
}

}  // namespace zb
