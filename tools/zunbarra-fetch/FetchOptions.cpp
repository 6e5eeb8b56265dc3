#include "FetchOptions.h"

#include <stdexcept>

namespace zb {

const char* const kFetchUsage =
    "usage: zunbarra-fetch [-X METHOD] [--data TEXT] [--proxy HOST:PORT] [--timeout MS]\n"
    "                      [--idle-timeout MS] [--report-level N] [-o FILE] [--header-out FILE]\n"
    "                      [--user NAME:PASSWORD] [--cookie TEXT] URL\n"
    "  METHOD: GET (default), HEAD, POST, PUT, PATCH, DELETE, OPTIONS, TRACE, COPY, MOVE,\n"
    "          LINK, UNLINK; for COPY, MOVE, LINK and UNLINK --data is the destination URI\n"
    "  exit status: 0 success, 1 failure status or none, 2 error\n";

namespace {

int ParseNumber(const std::string& option, const std::string& text) {
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < 0) {
        throw std::invalid_argument(option + " needs a number, not '" + text + "'");
    }
    return value;
}

}  // namespace

FetchOptions ParseFetchOptions(const std::vector<std::string>& args) {
    FetchOptions options;
    bool haveUrl = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "-X") {
            options.Method = value();
            for (char& c : options.Method) {
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            }
            static const char* const known[] = {"GET",   "HEAD",   "POST",    "PUT",
                                                "PATCH", "DELETE", "OPTIONS", "TRACE",
                                                "COPY",  "MOVE",   "LINK",    "UNLINK"};
            bool ok = false;
            for (const char* k : known)
                ok = ok || options.Method == k;
            if (!ok) throw std::invalid_argument("unknown method '" + options.Method + "'");
        } else if (arg == "--data") {
            options.Data = value();
            options.HasData = true;
        } else if (arg == "--proxy") {
            const std::string& proxy = value();
            const std::size_t colon = proxy.rfind(':');
            if (colon == std::string::npos || colon == 0) {
                throw std::invalid_argument("--proxy needs HOST:PORT");
            }
            options.ProxyHost = proxy.substr(0, colon);
            options.ProxyPort = ParseNumber("--proxy", proxy.substr(colon + 1));
        } else if (arg == "--timeout") {
            options.TimeOut = ParseNumber(arg, value());
        } else if (arg == "--idle-timeout") {
            options.IdleTimeOut = ParseNumber(arg, value());
        } else if (arg == "--report-level") {
            options.ReportLevel = ParseNumber(arg, value());
        } else if (arg == "-o") {
            options.OutputFile = value();
        } else if (arg == "--header-out") {
            options.HeaderFile = value();
        } else if (arg == "--user") {
            const std::string& user = value();
            const std::size_t colon = user.find(':');
            if (colon == std::string::npos)
                throw std::invalid_argument("--user needs NAME:PASSWORD");
            options.User = user.substr(0, colon);
            options.Password = user.substr(colon + 1);
        } else if (arg == "--cookie") {
            options.Cookie = value();
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw std::invalid_argument("unknown option '" + arg + "'");
        } else if (haveUrl) {
            throw std::invalid_argument("more than one URL");
        } else {
            options.Url = arg;
            haveUrl = true;
        }
    }
    if (!haveUrl) throw std::invalid_argument("no URL given");
    return options;
}

}  // namespace zb
