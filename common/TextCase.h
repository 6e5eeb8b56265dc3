#pragma once
// ASCII letter case: case-insensitive comparison and conversion, byte by byte. Only the bytes
// 'A'-'Z' and 'a'-'z' are affected, wherever they stand (also as CP932 trail bytes).

#include <string>

namespace zb {

// Case-insensitive (ASCII) comparison: < 0, 0 or > 0.
int CompareText(const std::string& a, const std::string& b);

std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

}  // namespace zb
