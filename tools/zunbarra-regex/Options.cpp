#include "Options.h"

namespace zb::tool {

Options ParseOptions(const std::vector<std::string>& argv) {
    Options o;
    bool endOfOptions = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (endOfOptions || a.size() < 2 || a[0] != '-') {
            o.args.push_back(a);
        } else if (a == "--") {
            endOfOptions = true;
        } else if (a == "--utf8") {
            o.utf8 = true;
        } else if (a == "--fuzzy") {
            o.fuzzy = true;
        } else if (a == "--lf") {
            o.lf = true;
        } else if (a == "-n") {
            o.lineNumbers = true;
        } else if (a == "-c") {
            o.countOnly = true;
        } else if (a == "-nc" || a == "-cn") {
            o.lineNumbers = o.countOnly = true;
        } else if (a == "--line-markers") {
            if (i + 1 >= argv.size()) throw UsageError{"--line-markers needs a value"};
            const std::string& v = argv[++i];
            if (v != "lf") throw UsageError{"unknown line markers '" + v + "'"};
            o.lineMarkersLF = true;
        } else {
            throw UsageError{"unknown option '" + a + "'"};
        }
    }
    return o;
}

}  // namespace zb::tool
