#include "FetchOptions.h"

#include <limits>

namespace zb {

const ProgramUsage kFetchUsage = {
    "zunbarra-fetch",
    "usage: zunbarra-fetch [-X METHOD] [--data TEXT] [--proxy HOST:PORT] [--timeout MS]\n"
    "                      [--idle-timeout MS] [--report-level N] [-o FILE] [--header-out FILE]\n"
    "                      [--user NAME:PASSWORD] [--cookie TEXT] [--cacert FILE] [--insecure]\n"
    "                      URL\n"
    "\n"
    "Sends one HTTP/1.0 request through the system's own client and writes the body to standard\n"
    "output (or FILE); status texts and the status line go to standard error. Up to 20\n"
    "redirections are followed. An https URL (default port 443) is fetched over TLS, the\n"
    "server's certificate checked against the system's trusted certificates and the host name;\n"
    "through a proxy it goes over a CONNECT tunnel.\n"
    "\n"
    "Options:\n"
    "  -X METHOD              GET (default), HEAD, POST, PUT, PATCH, DELETE, OPTIONS, TRACE,\n"
    "                         COPY, MOVE, LINK or UNLINK\n"
    "  --data TEXT            the request body; for COPY, MOVE, LINK and UNLINK the\n"
    "                         destination URI\n"
    "  --proxy HOST:PORT      send the request through this HTTP proxy\n"
    "  --timeout MS           bound on the host lookup and the connection set-up (default\n"
    "                         5000; 0: none)\n"
    "  --idle-timeout MS      give up when no byte moves for that long (default 0: never)\n"
    "  --report-level N       the highest level of status texts shown (default 0)\n"
    "  -o FILE                write the body to FILE\n"
    "  --header-out FILE      write the response header to FILE\n"
    "  --user NAME:PASSWORD   basic authentication\n"
    "  --cookie TEXT          the Cookie header to send\n"
    "  --cacert FILE          also trust the certificates in this PEM file (https)\n"
    "  --insecure             do not check the server's certificate (https)\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 on a success status, 1 on a failure status or none, 2 on an error.\n"};

namespace {

int MillisecondsOrCount(const std::string& option, const std::string& text) {
    return static_cast<int>(NumberValue(option, text, 0, std::numeric_limits<int>::max()));
}

}  // namespace

FetchOptions ParseFetchOptions(const std::vector<std::string>& args) {
    FetchOptions options;
    bool haveUrl = false;
    ArgumentReader reader(args);
    std::string value;
    while (reader.Next()) {
        if (reader.Option("-X", value)) {
            options.Method = value;
            for (char& c : options.Method) {
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            }
            static const char* const known[] = {"GET",   "HEAD",   "POST",    "PUT",
                                                "PATCH", "DELETE", "OPTIONS", "TRACE",
                                                "COPY",  "MOVE",   "LINK",    "UNLINK"};
            bool ok = false;
            for (const char* k : known)
                ok = ok || options.Method == k;
            if (!ok) throw EUsageError("unknown method '" + options.Method + "'");
        } else if (reader.Option("--data", value)) {
            options.Data = value;
            options.HasData = true;
        } else if (reader.Option("--proxy", value)) {
            const HostPort proxy = HostPortValue("--proxy", value, true);
            options.ProxyHost = proxy.Host;
            options.ProxyPort = proxy.Port;
        } else if (reader.Option("--timeout", value)) {
            options.TimeOut = MillisecondsOrCount("--timeout", value);
        } else if (reader.Option("--idle-timeout", value)) {
            options.IdleTimeOut = MillisecondsOrCount("--idle-timeout", value);
        } else if (reader.Option("--report-level", value)) {
            options.ReportLevel = MillisecondsOrCount("--report-level", value);
        } else if (reader.Option("-o", value)) {
            options.OutputFile = value;
        } else if (reader.Option("--header-out", value)) {
            options.HeaderFile = value;
        } else if (reader.Option("--user", value)) {
            const std::size_t colon = value.find(':');
            if (colon == std::string::npos) throw EUsageError("--user needs NAME:PASSWORD");
            options.User = value.substr(0, colon);
            options.Password = value.substr(colon + 1);
        } else if (reader.Option("--cookie", value)) {
            options.Cookie = value;
        } else if (reader.Option("--cacert", value)) {
            options.CaFile = value;
        } else if (reader.Flag("--insecure")) {
            options.Insecure = true;
        } else if (!reader.Operand()) {
            reader.Reject();
        } else if (haveUrl) {
            throw EUsageError("more than one URL");
        } else {
            options.Url = reader.Current();
            haveUrl = true;
        }
    }
    options.Request = reader.Request();
    if (!haveUrl && options.Request == StandardRequest::None) throw EUsageError("no URL given");
    return options;
}

}  // namespace zb
