#include "app/WindowOptions.h"

namespace zb {

const ProgramUsage kWindowUsage = {
    "zunbarra",
    "usage: zunbarra [--service HOST[:PORT]] [--profile FILE]\n"
    "\n"
    "Opens the Zunbarra Image Searcher window. Type the words every result must contain and the\n"
    "words none may contain, choose the filters and an optional HTTP proxy, and press\n"
    "\"Search and Get\": result pages are fetched 20 hits at a time and every thumbnail address\n"
    "is appended to the list; \"Save URLs\" writes the list (CR LF line ends, Shift_JIS).\n"
    "\n"
    "Options:\n"
    "  --service HOST[:PORT]  the image-search service (default 127.0.0.1:8930, where\n"
    "                         zunbarra-service --port 8930 listens)\n"
    "  --profile FILE         ask the service and read its pages as this search profile\n"
    "                         says (an INI file; see the README); --service then replaces\n"
    "                         the host and port of the profile's base address\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are accepted as well.\n"
    "\n"
    "Exit status:\n"
    "  0, or 2 on a bad command line or a profile that cannot be used.\n"};

WindowOptions ParseWindowOptions(const std::vector<std::string>& args) {
    WindowOptions options;
    ArgumentReader reader(args);
    std::string value;
    while (reader.Next()) {
        if (reader.Option("--service", value)) {
            HostPortValue("--service", value, false);
            options.Service = value;
        } else if (reader.Option("--profile", value)) {
            if (value.empty()) throw EUsageError("--profile needs a file name");
            options.Profile = value;
        } else {
            reader.Reject();
        }
    }
    options.Request = reader.Request();
    return options;
}

}  // namespace zb
