#pragma once
// Byte-string helpers of the service. Text is CP932: a character is one byte, or a lead byte
// (0x81-0x9F, 0xE0-0xFC) and a trail byte. Every helper steps by whole characters, so a trail
// byte that happens to equal an ASCII letter, '\\', '_' or '|' is never taken for that letter.

#include <string>
#include <string_view>

namespace zb {

// True when b may follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsCp932TrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length in bytes (1 or 2) of the character at pos; 1 for a lead byte without a valid trail.
std::size_t Cp932CharLength(std::string_view text, std::size_t pos);

// Lower-cases the ASCII letters A-Z that stand as characters of their own.
std::string FoldAsciiCase(std::string_view text);

// True when word occurs in text starting and ending on character boundaries. Both are taken as
// already folded; an empty word occurs nowhere.
bool ContainsWord(std::string_view text, std::string_view word);

// Decodes %XX escapes; '+' and malformed escapes stay as written.
std::string PercentDecode(std::string_view text);

// Encodes every byte except ASCII letters and digits as %XX, for a value put into a link.
std::string PercentEncode(std::string_view text);

// Makes user text safe to show on a page: the HTML specials and the characters '=', '.', '_'
// become character references, so echoed text can never form markup nor the fixed markers the
// result-page scanners look for; bytes that are not a valid CP932 character become U+FFFD.
std::string EscapeEcho(std::string_view text);

}  // namespace zb
