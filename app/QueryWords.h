#pragma once
// Keywords as they go into the service's query address.

#include <string>

namespace zb {

// Percent-encodes the bytes that would change or cut the query if they stood as typed: "&"
// (starts another key), "#" (starts the fragment), "%" (starts an escape), "+" (stands for a
// blank, so "c++" would search for "c") and the control characters (0x00-0x1F, 0x7F). Every
// other byte, spaces and double-byte characters included, stays as it is. None of these bytes is
// ever the second byte of a CP932 character, so the bytes can be looked at one by one.
std::string EscapeQueryBytes(const std::string& words);

}  // namespace zb
