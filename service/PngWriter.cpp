#include "service/PngWriter.h"

#include <array>

#include "common/Exception.h"

namespace zb {

namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

// Appends one chunk: length, type, data, CRC of type and data.
void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char c : typed)
        crc = CrcTable()[(crc ^ static_cast<std::uint8_t>(c)) & 0xFF] ^ (crc >> 8);
    out += typed;
    PutU32(out, crc ^ 0xFFFFFFFFU);
}

// A zlib stream holding raw in stored blocks of at most 65,535 bytes.
std::string StoredZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::size_t pos = 0;
    do {
        const std::size_t len = std::min<std::size_t>(raw.size() - pos, 65535);
        const bool last = pos + len == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(len & 0xFF);
        out += static_cast<char>(len >> 8);
        out += static_cast<char>(~len & 0xFF);
        out += static_cast<char>((~len >> 8) & 0xFF);
        out.append(raw, pos, len);
        pos += len;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const char c : raw) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521;
        b = (b + a) % 65521;
    }
    PutU32(out, (b << 16) | a);
    return out;
}

}  // namespace

std::string EncodePng(int width, int height, const std::vector<std::uint32_t>& palette,
                      const std::vector<std::uint8_t>& pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height) {
        throw Exception("PNG image size does not match its pixels");
    }
    if (palette.empty() || palette.size() > 256) throw Exception("PNG palette size is not valid");
    for (const std::uint8_t p : pixels) {
        if (p >= palette.size()) throw Exception("PNG pixel outside the palette");
    }

    std::string out = "\x89PNG\r\n\x1A\n";
    std::string header;
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    header +=
        std::string("\x08\x03\x00\x00\x00", 5);  // 8 bits, palette, deflate, no filter/interlace
    PutChunk(out, "IHDR", header);

    std::string colours;
    for (const std::uint32_t rgb : palette) {
        colours += static_cast<char>((rgb >> 16) & 0xFF);
        colours += static_cast<char>((rgb >> 8) & 0xFF);
        colours += static_cast<char>(rgb & 0xFF);
    }
    PutChunk(out, "PLTE", colours);

    std::string raw;
    raw.reserve(pixels.size() + static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter type None
        raw.append(
            reinterpret_cast<const char*>(pixels.data()) + static_cast<std::size_t>(y) * width,
            static_cast<std::size_t>(width));
    }
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", "");
    return out;
}

}  // namespace zb
