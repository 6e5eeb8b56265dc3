#pragma once
// Reading integers from text.

#include <string>

namespace zb {

// Integer conversion as the framework does it: optional blanks and sign, decimal digits, or
// hexadecimal digits after "$" or "0x". Raises Exception "'text' は整数ではありません" otherwise.
int StrToInt(const std::string& text);

}  // namespace zb
