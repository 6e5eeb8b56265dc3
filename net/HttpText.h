#pragma once
// Small text helpers of the HTTP client.

#include <cstddef>
#include <string>

namespace zb {

// The n-th field (from 1) of `text` cut at every `separator`; empty when there are fewer.
std::string FieldOf(const std::string& text, char separator, int n);

// 1-based position of the n-th `c` in `text`; length + 1 when there are fewer, and also when
// the n-th one is the text's last character.
std::size_t NthPos(const std::string& text, char c, int n);

}  // namespace zb
