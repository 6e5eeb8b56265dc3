#include "app/QueryWords.h"

namespace zb {

std::string EscapeQueryBytes(const std::string& words) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(words.size());
    for (const char c : words) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '&' || b == '#' || b == '%' || b == '+' || b < 0x20 || b == 0x7F) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace zb
