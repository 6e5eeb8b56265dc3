// Runs Match, Sub, GSub and Split with a fuzzed expression, replacement and text (flags: fuzzy
// dictionary, line separator) and checks what every result must satisfy.

#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "common/Exception.h"
#include "regex/TAWKStr.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zb::fuzz::Input in;
    if (!zb::fuzz::Split(data, size, in)) return 0;
    zb::TAWKStr awk;
    awk.PreProcessor.UseFuzzyCharDic = (in.flags & 1) != 0;
    awk.LineSeparator = (in.flags & 2) ? zb::mcls_LF : zb::mcls_CRLF;
    try {
        awk.SetRegExp(in.expression);
    } catch (const zb::Exception&) {
        return 0;
    }
    // The first bytes of the text double as a replacement.
    const std::string replacement = in.text.substr(0, in.flags >> 4);
    const std::size_t textEnd = in.text.find('\0');
    const std::size_t visible = textEnd == std::string::npos ? in.text.size() : textEnd;

    int start = -1;
    int length = -1;
    awk.Match(in.text, start, length);
    check(start >= 0 && length >= 0);
    check(start == 0 ? length == 0 : static_cast<std::size_t>(start - 1 + length) <= visible);

    std::vector<std::string> fields;
    const int n = awk.Split(in.text, fields);
    check(n == static_cast<int>(fields.size()));

    for (bool global : {false, true}) {
        std::string text = in.text;
        try {
            if (global) {
                check(awk.GSub(replacement, text) >= 0);
            } else {
                awk.Sub(replacement, text);
            }
        } catch (const zb::Exception&) {
            check(text == in.text);  // a bad replacement changes nothing
        }
    }
    return 0;
}
