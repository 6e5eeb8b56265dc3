#pragma once
// A search profile: how one image service is asked for result pages and how the thumbnail
// addresses and the next-page marker are found in them. The built-in profile is the bundled
// service's shape; others are read from INI files (keys in README.md, "Search profiles").

#include <string>
#include <utility>
#include <vector>

#include "common/Exception.h"
#include "regex/TAWKStr.h"

namespace zb {

// A profile that cannot be used: a missing or bad key, or a file that cannot be read.
class EProfileError : public Exception {
public:
    using Exception::Exception;
};

// One cut: split the text with Split (an expression) and keep field Field (1 = the first).
struct ProfileCut {
    std::string Split;
    int Field = 1;
};

struct SearchProfile {
    std::string Name = "built-in";
    // Scheme, host and port of the service ("http://host:port"); empty in the built-in profile,
    // which takes "http://" and the session's service host.
    std::string Base;
    // The result page address. Placeholders: {base}, {words} (the And words), {not} (the Not
    // words, each after NotSeparator and NotPrefix), {offset}, {size}, {adult}, {lang}.
    std::string Template =
        "{base}/images?q={words}{not}&num={size}&start={offset}&hl=ja{adult}{lang}";
    std::string WordSeparator = "+";  // stands for each blank between And words
    std::string NotSeparator = "+";   // before each Not word
    std::string NotPrefix = "-";      // marks a word as excluded
    // How the words' bytes go into the address: "cp932" (escape only the bytes that would cut
    // the query) or "utf-8" (convert, then percent-encode every byte but letters, digits and -._~).
    std::string Encoding = "cp932";
    std::string AdultOn = "&imgsafe=on";
    std::string AdultOff = "&imgsafe=off";
    std::string LanguageOn = "&lr=lang_ja";
    std::string LanguageOff;
    int PageSize = 20;    // hits a page, and the step of the offset
    int FirstOffset = 0;  // offset of the first page
    // Expressions of this program's engine, CP932 bytes.
    std::string ImageLine = "src=/images\\?q";  // lines that hold one address each
    std::vector<ProfileCut> Cuts = {{"src=", 2}, {" width", 1}};
    std::string AddressPrefix = "{base}";   // put before what the cuts leave; {base} as above
    std::string NextPage = "nav_next.gif";  // a line of the page matching it: go on

    bool BuiltIn() const { return Base.empty(); }
};

// The shape of the bundled service.
SearchProfile BuiltInProfile();

// Reads a profile file. Unknown keys are named in `warnings` (the profile is still used).
// Raises EProfileError naming the file and the key for an unreadable file, a missing required
// key (Service/Base, Query/Template, Scan/ImageLine, Scan/Cut1, Scan/NextPage), a template
// without {offset}, a page size below 1, a bad number, encoding or base address, and for an
// expression the engine refuses (with its message and position).
SearchProfile LoadSearchProfile(const std::string& path, std::vector<std::string>& warnings);

// Compiles every expression of the profile once; raises EProfileError "KEY: message (at
// position N)" for the first the engine refuses.
void CheckProfileExpressions(const SearchProfile& profile);

// The words as they go into the address: encoded, then every blank replaced by the separators
// with `awk` (its expression is changed): And words "a b" give "a+b", Not words "c d" give
// "+-c+-d" (nothing for none) in the built-in profile.
std::string ComposeAndWords(const SearchProfile& profile, const std::string& words, TAWKStr& awk);
std::string ComposeNotWords(const SearchProfile& profile, const std::string& words, TAWKStr& awk);

// Replaces every {name} of `text` by its value; other braces stay.
std::string FillPlaceholders(const std::string& text,
                             const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace zb
