#include "service/Thumbnail.h"

#include <cstdint>
#include <vector>

#include "service/PngWriter.h"

namespace zb {

namespace {

std::uint32_t Shade(std::uint32_t rgb, int percent) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int c = static_cast<int>((rgb >> shift) & 0xFF) * percent / 100;
        out |= static_cast<std::uint32_t>(c > 255 ? 255 : c) << shift;
    }
    return out;
}

}  // namespace

std::string ThumbnailPng(const ImageEntry& entry) {
    // The id picks the stripe width, direction and a lighter or darker second colour.
    std::uint32_t h = 2166136261U;
    for (const char c : entry.Id)
        h = (h ^ static_cast<std::uint8_t>(c)) * 16777619U;
    const int stripe = 3 + static_cast<int>(h % 9);
    const bool diagonal = (h >> 8) & 1;
    const std::vector<std::uint32_t> palette = {
        entry.Colour, Shade(entry.Colour, (h >> 9) & 1 ? 60 : 140), 0x000000};
    const int w = entry.ThumbWidth, ht = entry.ThumbHeight;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * ht);
    for (int y = 0; y < ht; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t p = (((diagonal ? x + y : x) / stripe) & 1) ? 1 : 0;
            if (x == 0 || y == 0 || x == w - 1 || y == ht - 1) p = 2;  // a one-pixel frame
            pixels[static_cast<std::size_t>(y) * w + x] = p;
        }
    }
    return EncodePng(w, ht, palette, pixels);
}

}  // namespace zb
