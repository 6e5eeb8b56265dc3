#include "DownloadManifest.h"

#include <cerrno>
#include <cstring>

#include "common/Cp932.h"
#include "common/Exception.h"

namespace zb {

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when none starts there.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    std::size_t n = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2, minimum = 0x80, code = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3, minimum = 0x800, code = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4, minimum = 0x10000, code = b & 0x07;
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return n;
}

std::string Hex4(unsigned value) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(value >> shift) & 0xF];
    return out;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += Hex4(c);
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text, i, n);
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += Hex4(c);
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    return out + "\"";
}

std::string ManifestLine(const ManifestEntry& e) {
    auto textOrNull = [](const std::string& text) {
        return text.empty() ? std::string("null") : JsonString(text);
    };
    std::string line = "{\"address\":" + JsonString(Cp932ToUtf8(e.Address)) +
                       ",\"page\":" + std::to_string(e.Page) + ",\"file\":" + textOrNull(e.File) +
                       ",\"bytes\":" + (e.Bytes < 0 ? "null" : std::to_string(e.Bytes)) +
                       ",\"sha256\":" + textOrNull(e.Sha256) +
                       ",\"status\":" + (e.Status == 0 ? "null" : std::to_string(e.Status)) +
                       ",\"error\":" + textOrNull(e.Error);
    if (!e.Skipped.empty()) line += ",\"skipped\":" + JsonString(e.Skipped);
    return line + "}";
}

DownloadManifest::~DownloadManifest() {
    if (FFile != nullptr) std::fclose(FFile);
}

void DownloadManifest::Open(const std::string& path) {
    FFile = std::fopen(path.c_str(), "wb");
    if (FFile == nullptr)
        throw Exception("cannot create " + path + " (" + std::strerror(errno) + ")");
}

bool DownloadManifest::Write(const ManifestEntry& entry) {
    if (FFile == nullptr) return false;
    const std::string line = ManifestLine(entry) + "\n";
    return std::fwrite(line.data(), 1, line.size(), FFile) == line.size() &&
           std::fflush(FFile) == 0;
}

}  // namespace zb
