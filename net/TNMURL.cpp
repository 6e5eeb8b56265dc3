#include "net/TNMURL.h"

namespace zb {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string TNMURL::Decode(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '+') {
            result += ' ';
            ++i;
        } else if (c == '%') {
            const std::string digits = text.substr(i + 1, 2);
            const int high = digits.size() == 2 ? HexValue(digits[0]) : -1;
            const int low = digits.size() == 2 ? HexValue(digits[1]) : -1;
            if (high < 0 || low < 0) {
                if (OnError) {
                    OnError(*this, "Error during decode",
                            "'$" + digits + "' is not a valid integer value");
                }
                return text;
            }
            result += static_cast<char>(high * 16 + low);
            i += 3;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

}  // namespace zb
