#pragma once
// Conversion between UTF-8 (terminal, window) and code page 932 (the engine's byte strings).

#include <string>
#include <string_view>

namespace zb {

// Converts UTF-8 text to CP932. Raises zb::Exception when the text is not valid UTF-8 or holds a
// character that CP932 cannot represent.
std::string Utf8ToCp932(std::string_view utf8);

// Converts CP932 bytes to UTF-8. Bytes that do not form a CP932 character become U+FFFD, so any
// byte string can be shown.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace zb
