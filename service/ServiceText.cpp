#include "service/ServiceText.h"

#include <cstring>

#include "common/Cp932.h"

namespace zb {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A single byte that is a character of its own in CP932 (ASCII or half-width katakana).
bool IsCp932SingleChar(unsigned char b) {
    return b <= 0x7F || (b >= 0xA1 && b <= 0xDF);
}

}  // namespace

std::size_t Cp932CharLength(std::string_view text, std::size_t pos) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (IsDBCSLeadByte(b) && pos + 1 < text.size() &&
        IsCp932TrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

std::string FoldAsciiCase(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); i += Cp932CharLength(out, i)) {
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

bool ContainsWord(std::string_view text, std::string_view word) {
    if (word.empty() || word.size() > text.size()) return false;
    for (std::size_t i = 0; i + word.size() <= text.size(); i += Cp932CharLength(text, i)) {
        if (std::memcmp(text.data() + i, word.data(), word.size()) != 0) continue;
        // The match must end on a boundary too: walk the characters it covers.
        std::size_t end = i;
        while (end < i + word.size())
            end += Cp932CharLength(text, end);
        if (end == i + word.size()) return true;
    }
    return false;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PercentEncode(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out += c;
        } else {
            out += '%';
            out += kHexDigits[b >> 4];
            out += kHexDigits[b & 15];
        }
    }
    return out;
}

std::string EscapeEcho(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = Cp932CharLength(text, i);
        const auto b = static_cast<unsigned char>(text[i]);
        if (len == 2) {
            out.append(text.substr(i, 2));
        } else if (b < 0x20 || b == 0x7F || !IsCp932SingleChar(b)) {
            out += "&#65533;";
        } else {
            switch (text[i]) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&#39;";
                    break;
                case '=':
                    out += "&#61;";
                    break;
                case '.':
                    out += "&#46;";
                    break;
                case '_':
                    out += "&#95;";
                    break;
                default:
                    out += text[i];
            }
        }
        i += len;
    }
    return out;
}

}  // namespace zb
