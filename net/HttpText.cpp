#include "net/HttpText.h"

#include <cstdint>

#include "common/Exception.h"

namespace zb {

std::string FieldOf(const std::string& text, char separator, int n) {
    std::size_t start = 0;
    for (int field = 1;; ++field) {
        const std::size_t end = text.find(separator, start);
        if (field == n) {
            return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        }
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

std::size_t NthPos(const std::string& text, char c, int n) {
    int seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != c) continue;
        if (++seen == n) return i + 1 == text.size() ? text.size() + 1 : i + 1;
    }
    return text.size() + 1;
}

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

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace zb
