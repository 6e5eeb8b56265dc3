#pragma once
// The engine's character model: a character is one byte or a lead byte and a trail byte of
// code page 932, read as one 16-bit code. Positions in strings are 1-based byte indexes.

#include <cstdint>
#include <string>

#include "common/Cp932.h"

namespace zb {

using WChar_t = std::uint16_t;

inline constexpr WChar_t WCHAR_ANY_MAX = 0xFCFC;    // highest code the any-character item takes
inline constexpr WChar_t WCHAR_LINE_HEAD = 0xFFFD;  // default line-head marker code
inline constexpr WChar_t WCHAR_LINE_TAIL = 0xFFFE;  // default line-tail marker code
inline constexpr WChar_t WCHAR_EMPTY = 0xFFFF;      // label of an empty transition

// The 12 metacharacters, in the order the quoting function knows them.
inline constexpr char METACHARS[12] = {'^', '(', '|', ')', '+', '*', '?', '.', '[', ']', '$', '\\'};

int HexWCharToInt(WChar_t ch);
int OctWCharToInt(WChar_t ch);

// Reads the character at byte Index of s and advances Index past it; 0 (Index unchanged) when
// Index lies outside s. A lead byte that is the last byte of s raises ERegExpParser.
WChar_t GetWChar(const std::string& s, int& Index);

// Steps Index back over the character read last.
void UnGetWChar(const std::string& s, int& Index);

// Reads one character from a NUL-terminated buffer and advances p. Returns 0 at the NUL without
// moving. A lead byte directly before the NUL is returned alone, so p never passes the NUL.
WChar_t PCharGetWChar(const char*& p);

// The bytes of a code: two when its high byte is a lead byte, else the low byte.
std::string WCharToStr(WChar_t ch);

// Reads the character after a backslash (Index just past it) and applies the escapes.
WChar_t GetQuotedWChar(const std::string& s, int& Index);

// Up to 4 hexadecimal / 6 octal digits; the character that stopped the reading is put back.
WChar_t HexStrToInt(const std::string& s, int& Index);
WChar_t OctStrToInt(const std::string& s, int& Index);

// Collects characters up to the delimiter (consumed, not part of the result) or the end.
std::string WCharGetToken(const std::string& s, int& Index, WChar_t delimiter);

// Puts a backslash before every metacharacter.
std::string QuoteMetaWChar(const std::string& s);

}  // namespace zb
