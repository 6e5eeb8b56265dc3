#pragma once
// Dictionaries of the preprocessor. A group is a list of strings that count as equivalent
// (entry 0 first in the replacement); a dictionary is a list of groups searched in order.

#include <string>
#include <vector>

namespace zb {

using REDicGroup = std::vector<std::string>;
using REDictionary = std::vector<REDicGroup>;

// Splits a comma list: items separated by commas (blanks around them skipped); an item in double
// quotes may hold commas and blanks, a doubled double quote inside standing for one.
REDicGroup ParseCommaText(const std::string& text);

// The engine's built-in fuzzy-character dictionary for Japanese text: 145 groups of CP932
// strings (full/half-width forms, hiragana/katakana, voiced marks). Built on first use.
const REDictionary& RE_FuzzyCharDic();

}  // namespace zb
