#pragma once
// A minimal PNG encoder: 8-bit palette images, stored (uncompressed) deflate blocks.

#include <cstdint>
#include <string>
#include <vector>

namespace zb {

// Encodes a width x height image whose pixels (row by row) index into palette (0xRRGGBB values,
// at most 256). Raises zb::Exception for an empty image, a pixel count that does not match, or
// an index outside the palette.
std::string EncodePng(int width, int height, const std::vector<std::uint32_t>& palette,
                      const std::vector<std::uint8_t>& pixels);

}  // namespace zb
