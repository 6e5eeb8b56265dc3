#include "app/thumbs/ThumbnailFetcher.h"

namespace zb {

std::string SniffImageKind(const std::string& data) {
    auto starts = [&](std::string_view magic, size_t at = 0) {
        return data.size() >= at + magic.size() && data.compare(at, magic.size(), magic) == 0;
    };
    if (starts("\x89PNG\r\n\x1a\n")) return "png";
    if (starts("\xff\xd8\xff")) return "jpg";
    if (starts("GIF87a") || starts("GIF89a")) return "gif";
    if (starts("RIFF") && starts("WEBP", 8)) return "webp";
    if (starts("BM") && data.size() >= 26) return "bmp";
    return "";
}

}  // namespace zb
