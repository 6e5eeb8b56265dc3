#include "regex/WChar.h"

#include "regex/ERegExpParser.h"

namespace zb {

namespace {

unsigned char byteAt(const std::string& s, int index) {
    return static_cast<unsigned char>(s[static_cast<std::size_t>(index - 1)]);
}

bool isMetaChar(WChar_t ch) {
    for (char m : METACHARS) {
        if (ch == static_cast<unsigned char>(m)) return true;
    }
    return false;
}

}  // namespace

int HexWCharToInt(WChar_t ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

int OctWCharToInt(WChar_t ch) {
    if (ch >= '0' && ch <= '7') return ch - '0';
    return -1;
}

WChar_t GetWChar(const std::string& s, int& Index) {
    const int len = static_cast<int>(s.size());
    if (Index < 1 || Index > len) return 0;
    const unsigned char b = byteAt(s, Index);
    if (IsDBCSLeadByte(b)) {
        if (Index == len) throw ERegExpParser(remsg::InvalidDoubleByte, Index);
        const WChar_t ch = static_cast<WChar_t>(b << 8 | byteAt(s, Index + 1));
        Index += 2;
        return ch;
    }
    Index += 1;
    return b;
}

void UnGetWChar(const std::string& s, int& Index) {
    if (Index <= 1) return;
    if (Index == 2) {
        Index = 1;
        return;
    }
    // Byte Index-1 is the last byte read. It is a trail byte when an odd number of lead bytes
    // precede it without a break.
    int leads = 0;
    for (int i = Index - 2; i >= 1 && IsDBCSLeadByte(byteAt(s, i)); --i)
        ++leads;
    Index -= (leads % 2 == 1) ? 2 : 1;
}

WChar_t PCharGetWChar(const char*& p) {
    const unsigned char b = static_cast<unsigned char>(*p);
    if (b == 0) return 0;
    if (IsDBCSLeadByte(b) && p[1] != '\0') {
        const WChar_t ch = static_cast<WChar_t>(b << 8 | static_cast<unsigned char>(p[1]));
        p += 2;
        return ch;
    }
    p += 1;
    return b;
}

std::string WCharToStr(WChar_t ch) {
    const unsigned char hi = static_cast<unsigned char>(ch >> 8);
    const unsigned char lo = static_cast<unsigned char>(ch & 0xFF);
    if (IsDBCSLeadByte(hi)) return std::string{static_cast<char>(hi), static_cast<char>(lo)};
    return std::string(1, static_cast<char>(lo));
}

WChar_t GetQuotedWChar(const std::string& s, int& Index) {
    const WChar_t ch = GetWChar(s, Index);
    switch (ch) {
        case 0:
            throw ERegExpParser(remsg::CharAfterBackslash, Index);
        case 'b':
            return 8;
        case 'r':
            return 13;
        case 'n':
            return 10;
        case 't':
            return 9;
        case 'x':
            return HexStrToInt(s, Index);
        default:
            if (ch >= '0' && ch <= '7') {
                UnGetWChar(s, Index);
                return OctStrToInt(s, Index);
            }
            return ch;
    }
}

namespace {

WChar_t readNumber(const std::string& s, int& Index, int base, int maxDigits, const char* message) {
    unsigned value = 0;
    int digits = 0;
    WChar_t ch = 0;
    for (;;) {
        ch = GetWChar(s, Index);
        if (ch == 0) break;
        const int d = base == 16 ? HexWCharToInt(ch) : OctWCharToInt(ch);
        if (d < 0 || digits == maxDigits) break;
        if (base == 8 && value * 8 + static_cast<unsigned>(d) > 0xFFFF) {
            throw ERegExpParser(message, Index);
        }
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        ++digits;
    }
    if (digits == 0) throw ERegExpParser(message, Index);
    if (ch != 0) UnGetWChar(s, Index);
    return static_cast<WChar_t>(value);
}

}  // namespace

WChar_t HexStrToInt(const std::string& s, int& Index) {
    return readNumber(s, Index, 16, 4, remsg::InvalidHex);
}

WChar_t OctStrToInt(const std::string& s, int& Index) {
    return readNumber(s, Index, 8, 6, remsg::InvalidOctal);
}

std::string WCharGetToken(const std::string& s, int& Index, WChar_t delimiter) {
    std::string result;
    for (;;) {
        const WChar_t ch = GetWChar(s, Index);
        if (ch == 0 || ch == delimiter) break;
        result += WCharToStr(ch);
    }
    return result;
}

std::string QuoteMetaWChar(const std::string& s) {
    std::string result;
    int index = 1;
    for (WChar_t ch = GetWChar(s, index); ch != 0; ch = GetWChar(s, index)) {
        if (isMetaChar(ch)) result += '\\';
        result += WCharToStr(ch);
    }
    return result;
}

}  // namespace zb
