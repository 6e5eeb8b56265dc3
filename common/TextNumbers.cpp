#include "common/TextNumbers.h"

#include <cstddef>
#include <cstdint>

#include "common/Exception.h"

namespace zb {

int StrToInt(const std::string& text) {
    auto fail = [&]() -> int { throw Exception("'" + text + "' は整数ではありません"); };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return fail();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return fail();
        value = value * base + digit;
        if (value > (base == 16 ? 0xffffffffLL : 0x80000000LL)) return fail();
    }
    if (base == 16) {
        std::int64_t wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        if (negative) wrapped = -wrapped;
        return static_cast<int>(static_cast<std::uint32_t>(wrapped));
    }
    if (negative) return static_cast<int>(-value);
    if (value > 0x7fffffffLL) return fail();
    return static_cast<int>(value);
}

}  // namespace zb
