#include "service/ServiceOptions.h"

namespace zb {

const ProgramUsage kServiceUsage = {
    "zunbarra-service",
    "usage: zunbarra-service [--host ADDR] [--port N] [--images N] [--layout 1|2] [FAULTS]\n"
    "       zunbarra-service --expect QUERY [--images N] [--layout 1|2]\n"
    "\n"
    "Serves image searches over HTTP/1.0: GET /images?q=WORDS&num=20&start=N&hl=ja\n"
    "&imgsafe=on|off[&lr=lang_ja] answers a Shift_JIS result page, GET /images?q=tbn:ID a\n"
    "PNG thumbnail. The first line on standard output is port=N; each request is logged on\n"
    "standard error as: METHOD TARGET STATUS [(NOTE)].\n"
    "\n"
    "Page layouts (the same hits and thumbnails in both):\n"
    "  1  (default) Shift_JIS table pages; each hit's line holds src=/images?q=tbn:ID width=..,\n"
    "     and a line with nav_next.gif links the next page.\n"
    "  2  UTF-8 pages, also served as GET /search?q=WORDS&offset=N&count=M&safe=on|off\n"
    "     [&lang=ja[,en..]][&ui=en] (words UTF-8, '+' between them, '-' before an excluded\n"
    "     one); /images?... is still accepted. Each hit is one line holding\n"
    "     <img class=\"thumb\" data-src=\"/images?q=tbn:ID\" ...>, and the head holds\n"
    "     <link rel=\"next\" href=\"/search?...\"> only when a next page exists.\n"
    "\n"
    "Options:\n"
    "  --host ADDR         address to listen on (default 127.0.0.1)\n"
    "  --port N            port to listen on; 0 (default) picks a free one\n"
    "  --images N          size of the generated corpus (default 3000)\n"
    "  --layout N          result-page layout, 1 (default) or 2; see above\n"
    "  --expect QUERY      print the thumbnail paths a search lists over all its pages, one a\n"
    "                      line, and exit; QUERY is a query string, /images?... or http://...\n"
    "                      (with --layout 2 also /search?...; a bare query string then has\n"
    "                      the /search parameters)\n"
    "  -h, --help          show this text and exit\n"
    "  --version           show the version and exit\n"
    "\n"
    "Faults (for tests; they apply to the requests --fault-on names, after the first\n"
    "--fault-skip of them and up to --fault-count of them):\n"
    "  --delay MS          wait MS milliseconds before answering\n"
    "  --drop              close the connection without answering\n"
    "  --reset             send the head and half the body, then reset the connection\n"
    "  --redirect-first    answer the first request with 302 to the same address\n"
    "  --status CODE       answer with that error status (400-599)\n"
    "  --never-close       keep the connection open after the body\n"
    "  --no-next-marker    leave the next-page line (nav_next.gif; rel=\"next\") out of pages\n"
    "  --double-src K      write hit K (1-based) of each result page with src= (data-src=\")\n"
    "                      twice\n"
    "  --retry-after VALUE faulted answers carry the header Retry-After: VALUE (as given)\n"
    "  --fault-skip N      answer the first N requests without faults\n"
    "  --fault-count N     fault only N requests after the skipped ones (default: all)\n"
    "  --fault-on KIND     pages (/images?q=WORDS), thumbnails (/images?q=tbn:ID) or all\n"
    "                      (default): the requests the faults apply to and are counted on\n"
    "  --thumb-delay MS    wait MS milliseconds before answering each thumbnail (whatever\n"
    "                      the other faults)\n"
    "\n"
    "Exit status:\n"
    "  0 when stopped by SIGINT or SIGTERM, 1 when the service cannot start, 2 on a bad\n"
    "  command line.\n"};

namespace {

FaultScope ParseFaultScope(const std::string& value) {
    if (value == "all") return FaultScope::All;
    if (value == "pages") return FaultScope::Pages;
    if (value == "thumbnails") return FaultScope::Thumbnails;
    throw EUsageError("--fault-on must be pages, thumbnails or all, not \"" + value + "\"");
}

}  // namespace

ServiceOptions ParseServiceOptions(const std::vector<std::string>& args) {
    ServiceOptions o;
    ArgumentReader reader(args);
    std::string v;
    while (reader.Next()) {
        if (reader.Option("--host", v)) {
            o.Host = v;
            if (o.Host.empty()) throw EUsageError("--host needs an address");
        } else if (reader.Option("--port", v)) {
            o.Port = static_cast<int>(NumberValue("--port", v, 0, 65535));
        } else if (reader.Option("--images", v)) {
            o.Images = static_cast<std::size_t>(NumberValue("--images", v, 1, 200000));
        } else if (reader.Option("--layout", v)) {
            o.Layout = static_cast<PageLayout>(NumberValue("--layout", v, 1, 2));
        } else if (reader.Option("--expect", v)) {
            o.Expect = true;
            o.ExpectQuery = v;
        } else if (reader.Option("--delay", v)) {
            o.Faults.DelayMs = static_cast<int>(NumberValue("--delay", v, 0, 3600000));
        } else if (reader.Flag("--drop")) {
            o.Faults.Drop = true;
        } else if (reader.Flag("--reset")) {
            o.Faults.ResetMidBody = true;
        } else if (reader.Flag("--redirect-first")) {
            o.Faults.RedirectFirst = true;
        } else if (reader.Option("--status", v)) {
            o.Faults.Status = static_cast<int>(NumberValue("--status", v, 400, 599));
        } else if (reader.Flag("--never-close")) {
            o.Faults.NeverClose = true;
        } else if (reader.Flag("--no-next-marker")) {
            o.Faults.NoNextMarker = true;
        } else if (reader.Option("--double-src", v)) {
            o.Faults.DoubleSrcHit = static_cast<int>(NumberValue("--double-src", v, 1, 100));
        } else if (reader.Option("--retry-after", v)) {
            if (v.find_first_of("\r\n") != std::string::npos)
                throw EUsageError("--retry-after must not hold a line break");
            o.Faults.RetryAfter = v;
        } else if (reader.Option("--fault-skip", v)) {
            o.Faults.Skip = static_cast<int>(NumberValue("--fault-skip", v, 0, 100000000));
        } else if (reader.Option("--fault-count", v)) {
            o.Faults.Count = static_cast<int>(NumberValue("--fault-count", v, 0, 100000000));
        } else if (reader.Option("--fault-on", v)) {
            o.Faults.Scope = ParseFaultScope(v);
        } else if (reader.Option("--thumb-delay", v)) {
            o.Faults.ThumbDelayMs = static_cast<int>(NumberValue("--thumb-delay", v, 0, 3600000));
        } else {
            reader.Reject();
        }
    }
    o.Request = reader.Request();
    return o;
}

}  // namespace zb
