#include "CliOptions.h"

#include "app/SearchSession.h"
#include "common/Cp932.h"

namespace zb {

const ProgramUsage kCliUsage = {
    "zunbarra-cli",
    "usage: zunbarra-cli [--service HOST[:PORT]] --and WORDS [--not WORDS]\n"
    "                    [--adult-filter on|off] [--japanese] [--proxy HOST:PORT] [-o FILE]\n"
    "                    [--download DIR [--jobs N] [--archive FILE] [--manifest FILE]]\n"
    "                    [--unique] [--delay MS] [--retries N]\n"
    "                    [--profile FILE] [--cacert FILE] [--insecure]\n"
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
    "  --download DIR         save each thumbnail as DIR/ID.EXT (ID from the address's tbn:\n"
    "                         key, else 16 hex digits of its SHA-256; EXT from the picture:\n"
    "                         png, jpg, gif, webp or bmp); DIR is created when missing\n"
    "  --jobs N               downloads at once, 1 to 16 (default 4)\n"
    "  --archive FILE         addresses already downloaded, one a line: they are not fetched\n"
    "                         again, and each new download is added (resumes a stopped run)\n"
    "  --manifest FILE        one JSON object a line for each address: address, page, file,\n"
    "                         bytes, sha256, status, error\n"
    "  --unique               list and fetch an address seen before in this run only once\n"
    "  --delay MS             wait MS milliseconds between page requests\n"
    "  --retries N            after a 429 or 503 answer, try a page or thumbnail again up to\n"
    "                         N times (default 0), waiting as its Retry-After asks (at most\n"
    "                         60 s) or 1 s, 2 s, 4 s...\n"
    "  --profile FILE         ask the service and read its pages as this search profile\n"
    "                         says (an INI file; see the README); --service then replaces\n"
    "                         the host and port of the profile's base address\n"
    "  --cacert FILE          for https: trust the certificates in this PEM file too\n"
    "  --insecure             for https: do not check the service's certificate (warns)\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 when the search ended normally (no further page) and every download succeeded, 1\n"
    "  when it ended on a fetch error, an error status or a scan error or when a download\n"
    "  failed, 2 on a bad command line, output file, download folder, archive or manifest,\n"
    "  130 when interrupted.\n"};

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
    bool jobsGiven = false;
    ArgumentReader reader(args);
    std::string v;
    while (reader.Next()) {
        if (reader.Option("--service", v)) {
            HostPortValue("--service", v, false);
            o.Service = v;
            o.ServiceGiven = true;
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
        } else if (reader.Option("--download", v)) {
            o.DownloadDir = v;
            if (v.empty()) throw EUsageError("--download needs a folder name");
        } else if (reader.Option("--jobs", v)) {
            o.Jobs = static_cast<int>(NumberValue("--jobs", v, 1, 16));
            jobsGiven = true;
        } else if (reader.Option("--archive", v)) {
            o.ArchiveFile = v;
            if (v.empty()) throw EUsageError("--archive needs a file name");
        } else if (reader.Option("--manifest", v)) {
            o.ManifestFile = v;
            if (v.empty()) throw EUsageError("--manifest needs a file name");
        } else if (reader.Flag("--unique")) {
            o.Unique = true;
        } else if (reader.Option("--delay", v)) {
            o.DelayMs = static_cast<int>(NumberValue("--delay", v, 0, 3600000));
        } else if (reader.Option("--profile", v)) {
            o.ProfileFile = v;
            if (v.empty()) throw EUsageError("--profile needs a file name");
        } else if (reader.Option("--cacert", v)) {
            o.CaFile = v;
            if (v.empty()) throw EUsageError("--cacert needs a file name");
        } else if (reader.Flag("--insecure")) {
            o.Insecure = true;
        } else if (reader.Option("--retries", v)) {
            o.Retries = static_cast<int>(NumberValue("--retries", v, 0, 100));
        } else {
            reader.Reject();
        }
    }
    o.Request = reader.Request();
    if (o.Request != StandardRequest::None) return o;
    if (!hasAnd) throw EUsageError("--and WORDS is required");
    if (o.AndWords.empty()) throw EUsageError("--and needs at least one character");
    if (o.DownloadDir.empty()) {
        if (jobsGiven) throw EUsageError("--jobs needs --download DIR");
        if (!o.ArchiveFile.empty()) throw EUsageError("--archive needs --download DIR");
        if (!o.ManifestFile.empty()) throw EUsageError("--manifest needs --download DIR");
    }
    return o;
}

}  // namespace zb
