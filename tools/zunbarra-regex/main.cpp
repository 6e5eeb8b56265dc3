// zunbarra-regex: the regular-expression engine from the shell.
//
//   zunbarra-regex compile [--utf8] [--fuzzy] [--line-markers lf] PATTERN
//
// PATTERN is taken as raw bytes (CP932); --utf8 converts it from UTF-8 first. Errors go to
// standard error; the exit status is 0 on success and 2 on any error.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "regex/Cp932.h"
#include "regex/ERegExpParser.h"
#include "regex/REDictionary.h"
#include "regex/TRegularExpression.h"

namespace {

using namespace zb;

constexpr int kExitError = 2;

const char* const kUsage =
    "usage: zunbarra-regex compile [--utf8] [--fuzzy] [--line-markers lf] PATTERN\n";

struct UsageError {
    std::string message;
};

// Options shared by every subcommand, and the positional arguments left after them.
struct Options {
    bool utf8 = false;
    bool fuzzy = false;
    bool lineMarkersLF = false;
    std::vector<std::string> args;
};

Options parseOptions(const std::vector<std::string>& argv) {
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

// A compiled expression whose line-head and line-tail markers are LF, as line search uses.
class LFMarkerExpression : public TRegularExpression {
public:
    WChar_t GetLineHeadWChar() const override { return 10; }
    WChar_t GetLineTailWChar() const override { return 10; }
};

void write(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int cmdCompile(const Options& o) {
    if (o.args.size() != 1) throw UsageError{"compile takes one PATTERN"};
    const std::string pattern = o.utf8 ? Utf8ToCp932(o.args[0]) : o.args[0];
    std::unique_ptr<TRegularExpression> re = o.lineMarkersLF
                                                 ? std::make_unique<LFMarkerExpression>()
                                                 : std::make_unique<TRegularExpression>();
    re->ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
    re->PreProcessor.UseFuzzyCharDic = o.fuzzy;
    re->SetRegExp(pattern);

    write("processed=" + re->GetProcessedRegExp() + "\n");
    write("states=" + std::to_string(re->GetCurrentDFA()->StateList.size()) + "\n");
    write(std::string("simple=") + (re->GetRegExpIsSimple() ? "yes" : "no") + "\n");
    if (re->GetRegExpIsSimple()) write("literal=" + re->GetSimpleRegExp() + "\n");
    write(std::string("line-head=") + (re->GetHasLHead() ? "yes" : "no") + "\n");
    write(std::string("line-tail=") + (re->GetHasLTail() ? "yes" : "no") + "\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty()) throw UsageError{"no command given"};
        const std::string command = args.front();
        const Options o = parseOptions({args.begin() + 1, args.end()});
        if (command == "compile") return cmdCompile(o);
        throw UsageError{"unknown command '" + command + "'"};
    } catch (const UsageError& e) {
        std::cerr << "zunbarra-regex: " << e.message << "\n" << kUsage;
        return kExitError;
    } catch (const ERegExpParser& e) {
        std::cerr << "error: position " << e.ErrorPos << ": " << e.Message << "\n";
        return kExitError;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return kExitError;
    }
}
