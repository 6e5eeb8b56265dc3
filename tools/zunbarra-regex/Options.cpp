#include "Options.h"

namespace zb::tool {

const ProgramUsage kRegexUsage = {
    "zunbarra-regex",
    "usage: zunbarra-regex compile [--utf8] [--fuzzy] [--line-markers lf] PATTERN\n"
    "       zunbarra-regex match [--utf8] [--fuzzy] [--lf] PATTERN FILE\n"
    "       zunbarra-regex sub|gsub [--utf8] [--fuzzy] [--lf] PATTERN REPLACEMENT FILE\n"
    "       zunbarra-regex split [--utf8] [--fuzzy] [--lf] PATTERN FILE\n"
    "       zunbarra-regex grep [--utf8] [--fuzzy] [-n] [-c] PATTERN FILE...\n"
    "\n"
    "Runs the system's regular-expression engine (Shift-JIS aware, leftmost-longest) on\n"
    "files. PATTERN and REPLACEMENT are raw CP932 bytes; files are read as bytes.\n"
    "\n"
    "Commands:\n"
    "  compile                show the compiled expression: processed=, states=, simple=,\n"
    "                         line-head= and line-tail=\n"
    "  match                  the 1-based start and the length of the leftmost-longest match\n"
    "                         in the whole file, 0 0 without one\n"
    "  sub, gsub              replace the first or every match and print the text; & is the\n"
    "                         matched text, \\& a literal &, \\n \\t \\xHH \\OOO escapes work\n"
    "  split                  print each field as LENGTH:BYTES\n"
    "  grep                   print every matching line\n"
    "\n"
    "Options:\n"
    "  --utf8                 PATTERN and REPLACEMENT are UTF-8\n"
    "  --fuzzy                use the fuzzy-character dictionary (full and half width,\n"
    "                         hiragana and katakana, voiced marks)\n"
    "  --line-markers lf      compile: anchors match at LF, as grep uses them\n"
    "  --lf                   LF ends a line for $ (default CR)\n"
    "  -n                     grep: print line numbers\n"
    "  -c                     grep: print only the count of matching lines\n"
    "  -h, --help             show this text and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 on success (grep: a line matched), 1 when grep found no line, 2 on an error; a\n"
    "  syntax error in PATTERN is reported as: error: position N: message.\n"};

Options ParseOptions(const std::vector<std::string>& argv) {
    Options o;
    ArgumentReader reader(argv);
    std::string value;
    while (reader.Next()) {
        if (reader.Operand()) {
            if (o.command.empty())
                o.command = reader.Current();
            else
                o.args.push_back(reader.Current());
        } else if (reader.Flag("--utf8")) {
            o.utf8 = true;
        } else if (reader.Flag("--fuzzy")) {
            o.fuzzy = true;
        } else if (reader.Flag("--lf")) {
            o.lf = true;
        } else if (reader.Flag("-n")) {
            o.lineNumbers = true;
        } else if (reader.Flag("-c")) {
            o.countOnly = true;
        } else if (reader.Flag("-nc") || reader.Flag("-cn")) {
            o.lineNumbers = o.countOnly = true;
        } else if (reader.Option("--line-markers", value)) {
            if (value != "lf") throw EUsageError("unknown line markers \"" + value + "\"");
            o.lineMarkersLF = true;
        } else {
            reader.Reject();
        }
    }
    o.request = reader.Request();
    if (o.request == StandardRequest::None && o.command.empty())
        throw EUsageError("no command given");
    return o;
}

}  // namespace zb::tool
