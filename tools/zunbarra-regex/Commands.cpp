#include "Commands.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "common/Cp932.h"
#include "common/Exception.h"
#include "regex/GrepErrors.h"
#include "regex/TAWKStr.h"
#include "regex/TGrep.h"

namespace zb::tool {

namespace {

// A compiled expression whose line-head and line-tail markers are LF, as line search uses.
class LFMarkerExpression : public TRegularExpression {
public:
    WChar_t GetLineHeadWChar() const override { return 10; }
    WChar_t GetLineTailWChar() const override { return 10; }
};

void write(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string argument(const Options& o, std::size_t i) {
    return o.utf8 ? Utf8ToCp932(o.args[i]) : o.args[i];
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EFileNotFound(path + ": cannot open");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void expectArgs(const Options& o, std::size_t n, const char* what) {
    if (o.args.size() != n) throw EUsageError(what);
}

// An AWK-style object set up from the options.
std::unique_ptr<TAWKStr> makeAwk(const Options& o, const std::string& pattern) {
    auto awk = std::make_unique<TAWKStr>();
    awk->LineSeparator = o.lf ? mcls_LF : mcls_CRLF;
    awk->PreProcessor.UseFuzzyCharDic = o.fuzzy;
    awk->SetRegExp(pattern);
    return awk;
}

}  // namespace

int Compile(const Options& o) {
    expectArgs(o, 1, "compile takes one PATTERN");
    std::unique_ptr<TRegularExpression> re = o.lineMarkersLF
                                                 ? std::make_unique<LFMarkerExpression>()
                                                 : std::make_unique<TRegularExpression>();
    re->ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
    re->PreProcessor.UseFuzzyCharDic = o.fuzzy;
    re->SetRegExp(argument(o, 0));

    write("processed=" + re->GetProcessedRegExp() + "\n");
    write("states=" + std::to_string(re->GetCurrentDFA()->StateList.size()) + "\n");
    write(std::string("simple=") + (re->GetRegExpIsSimple() ? "yes" : "no") + "\n");
    if (re->GetRegExpIsSimple()) write("literal=" + re->GetSimpleRegExp() + "\n");
    write(std::string("line-head=") + (re->GetHasLHead() ? "yes" : "no") + "\n");
    write(std::string("line-tail=") + (re->GetHasLTail() ? "yes" : "no") + "\n");
    return 0;
}

int Match(const Options& o) {
    expectArgs(o, 2, "match takes PATTERN FILE");
    const auto awk = makeAwk(o, argument(o, 0));
    int start = 0;
    int length = 0;
    awk->Match(readFile(o.args[1]), start, length);
    write(std::to_string(start) + " " + std::to_string(length) + "\n");
    return 0;
}

int Substitute(const Options& o, bool global) {
    expectArgs(
        o, 3,
        global ? "gsub takes PATTERN REPLACEMENT FILE" : "sub takes PATTERN REPLACEMENT FILE");
    const auto awk = makeAwk(o, argument(o, 0));
    std::string text = readFile(o.args[2]);
    const int n =
        global ? awk->GSub(argument(o, 1), text) : (awk->Sub(argument(o, 1), text) ? 1 : 0);
    write(text);
    std::cerr << "replacements=" << n << "\n";
    return 0;
}

int Split(const Options& o) {
    expectArgs(o, 2, "split takes PATTERN FILE");
    const auto awk = makeAwk(o, argument(o, 0));
    std::vector<std::string> fields;
    const int n = awk->Split(readFile(o.args[1]), fields);
    for (const std::string& f : fields)
        write(std::to_string(f.size()) + ":" + f + "\n");
    std::cerr << "fields=" << n << "\n";
    return 0;
}

int Grep(const Options& o) {
    if (o.args.size() < 2) throw EUsageError("grep takes PATTERN FILE...");
    TGrep grep;
    grep.PreProcessor.UseFuzzyCharDic = o.fuzzy;
    grep.SetRegExp(argument(o, 0));
    const bool several = o.args.size() > 2;
    bool matched = false;
    bool failed = false;
    for (std::size_t i = 1; i < o.args.size(); ++i) {
        const std::string& file = o.args[i];
        const std::string prefix = several ? file + ":" : "";
        long long count = 0;
        grep.OnMatch = [&](TGrep&, const RE_LineInfo_t& info) {
            ++count;
            if (o.countOnly) return;
            std::string out = prefix;
            if (o.lineNumbers) out += std::to_string(info.LineNo) + ":";
            out += info.Line;
            out += '\n';
            write(out);
        };
        try {
            grep.Grep(file);
        } catch (const Exception& e) {
            std::fflush(stdout);
            std::cerr << "zunbarra-regex: " << file << ": " << e.Message << "\n";
            failed = true;
            continue;
        }
        if (o.countOnly) write(prefix + std::to_string(count) + "\n");
        matched = matched || count > 0;
    }
    if (failed) return 2;
    return matched ? 0 : 1;
}

}  // namespace zb::tool
