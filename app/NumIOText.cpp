#include "app/NumIOText.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zb {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

bool IsSeparator(char c, TDecPSep sep) {
    switch (sep) {
        case dsDot:
            return c == '.';
        case dsComma:
            return c == ',';
        case dsBoth:
            return c == '.' || c == ',';
    }
    return false;
}

// Digits of one base to the end of the text; an empty digit string reads as 0 (a prefix typed
// on its own).
TNumIOReading ReadDigits(std::string_view digits, int base) {
    double value = 0;
    for (const char c : digits) {
        const int d = DigitValue(c);
        if (d >= base) return {};
        value = value * base + d;
    }
    return {true, value};
}

std::size_t SkipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i;
}

// Sign, digits, optionally a separator and more digits, optionally an exponent (when allowed).
TNumIOReading ReadDecimal(std::string_view s, TDecPSep sep, bool fraction, bool exponent) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t intStart = i;
    i = SkipDigits(s, i);
    const std::string_view intDigits = s.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (fraction && i < s.size() && IsSeparator(s[i], sep)) {
        const std::size_t fracStart = ++i;
        i = SkipDigits(s, i);
        fracDigits = s.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty()) {
        // Only a sign, only a separator, or both (the text is not empty): the start of a number.
        return {i == s.size(), 0};
    }
    std::string number = (negative ? "-" : "") + std::string(intDigits.empty() ? "0" : intDigits) +
                         "." + std::string(fracDigits.empty() ? "0" : fracDigits);
    bool negativeExponent = false;
    if (exponent && i < s.size() && s[i] == 'e') {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
        const std::size_t expStart = i;
        i = SkipDigits(s, i);
        // An exponent still being typed ("1e", "1e-") is read without it.
        if (i > expStart)
            number += std::string("e") + (negativeExponent ? "-" : "") +
                      std::string(s.substr(expStart, i - expStart));
    }
    if (i != s.size()) return {};
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (end != number.data() + number.size()) return {};
    if (error == std::errc::result_out_of_range) {
        // Too small to tell from 0 is 0; too large is out of every range.
        if (!negativeExponent) return {};
        value = 0;
    } else if (error != std::errc()) {
        return {};
    }
    return {true, value};
}

}  // namespace

TNumIOReading ReadNumIOText(std::string_view text, const TNumIORules& rules) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    std::string s;
    for (const char c : text.substr(start)) {
        if (IsBlank(c)) return {};
        s += Lower(c);
    }
    if (s.empty()) return {true, 0};

    TNumIOReading reading;
    switch (rules.InputFormat) {
        case itExp:
            reading = ReadDecimal(s, rules.DecPlaceSep, true, true);
            break;
        case itFloat:
            reading = ReadDecimal(s, rules.DecPlaceSep, true, false);
            break;
        case itInt:
            reading = ReadDecimal(s, rules.DecPlaceSep, false, false);
            break;
        case itHex:
            reading = ReadDigits(s, 16);
            break;
        case itOct:
            reading = ReadDigits(s, 8);
            break;
        case itBin:
            reading = ReadDigits(s, 2);
            break;
        case itDynamic:
            if (s[0] == '$')
                reading = ReadDigits(std::string_view(s).substr(1), 16);
            else if (s[0] == '%')
                reading = ReadDigits(std::string_view(s).substr(1), 2);
            else if (s[0] == '&')
                reading = ReadDigits(std::string_view(s).substr(1), 8);
            else
                reading = ReadDecimal(s, rules.DecPlaceSep, true, true);
            break;
    }
    if (!reading.Valid || !std::isfinite(reading.Value)) return {};
    if (reading.Value < rules.RangeLow || reading.Value > rules.RangeHigh) return {};
    return reading;
}

}  // namespace zb
