#pragma once
// The reading rules of the numeric edit field: which texts are acceptable while a number is
// being typed, and the value they stand for. Kept apart from the widget so that every rule can
// be checked on plain strings.

#include <string_view>

namespace zb {

// Notations a numeric field accepts.
enum TInFormat {
    itExp,     // decimal with optional decimal places and exponent
    itFloat,   // decimal with optional decimal places
    itInt,     // optional sign and decimal digits
    itHex,     // hexadecimal digits
    itOct,     // octal digits
    itBin,     // binary digits
    itDynamic  // the first character chooses: "$" hex, "%" binary, "&" octal, else itExp
};

// Characters that separate the decimal places.
enum TDecPSep { dsDot, dsComma, dsBoth };

struct TNumIOReading {
    bool Valid = false;
    double Value = 0;  // meaningful only when Valid
};

struct TNumIORules {
    TInFormat InputFormat = itDynamic;
    TDecPSep DecPlaceSep = dsDot;
    double RangeLow = -1.7E308;
    double RangeHigh = 1.7E308;
};

// Reads a field text (UTF-8). Leading blanks are dropped and letters are taken in lower case; a
// blank after that makes the text invalid; an empty text is valid with value 0. Texts that are
// only the start of a number (a sign, a separator, a sign and a separator, a notation prefix, or
// a number ending in "e", "e-" or "e+") are valid and read without the unfinished part, so a
// number can be typed from its first character. The value must lie within the range, both ends
// included.
TNumIOReading ReadNumIOText(std::string_view text, const TNumIORules& rules);

}  // namespace zb
