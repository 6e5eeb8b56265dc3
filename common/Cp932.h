#pragma once
// Code page 932: conversion from and to UTF-8 (terminal, window, files) and the lead-byte test
// of its byte strings.

#include <string>
#include <string_view>

namespace zb {

// Converts UTF-8 text to CP932. Raises zb::Exception when the text is not valid UTF-8 or holds a
// character that CP932 cannot represent.
std::string Utf8ToCp932(std::string_view utf8);

// Converts CP932 bytes to UTF-8. Bytes that do not form a CP932 character become U+FFFD, so any
// byte string can be shown.
std::string Cp932ToUtf8(std::string_view cp932);

// Lead-byte test of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsDBCSLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace zb
