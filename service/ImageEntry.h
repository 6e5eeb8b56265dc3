#pragma once
// One image of the service's corpus. Texts are CP932.

#include <cstdint>
#include <string>
#include <vector>

namespace zb {

struct ImageEntry {
    std::string Id;                     // thumbnail id: ASCII letters and digits
    std::string Title;                  // shown under the thumbnail
    std::vector<std::string> Keywords;  // Japanese and English words describing the image
    bool Adult = false;                 // hidden while the adult filter is on
    std::string Language;               // language of the page holding the image: "ja", "en", ...
    std::string Site;                   // host of that page
    std::string ImagePath;              // path of the full-size image on Site
    int Width = 0;                      // full-size image, pixels
    int Height = 0;
    int SizeKb = 0;      // full-size image, kilobytes
    int ThumbWidth = 0;  // thumbnail, pixels
    int ThumbHeight = 0;
    std::uint32_t Colour = 0;  // main colour of the thumbnail, 0xRRGGBB
};

}  // namespace zb
