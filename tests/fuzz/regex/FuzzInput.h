#pragma once
// Splits a fuzz input into flags, an expression and a text:
// byte 0 flags, byte 1 the expression's length n, then n bytes of expression, then the text.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zb::fuzz {

struct Input {
    std::uint8_t flags = 0;
    std::string expression;
    std::string text;
};

inline bool Split(const std::uint8_t* data, std::size_t size, Input& in) {
    if (size < 2) return false;
    in.flags = data[0];
    const std::size_t n = data[1] < size - 2 ? data[1] : size - 2;
    in.expression.assign(reinterpret_cast<const char*>(data + 2), n);
    in.text.assign(reinterpret_cast<const char*>(data + 2 + n), size - 2 - n);
    return true;
}

}  // namespace zb::fuzz
