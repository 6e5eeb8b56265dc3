#pragma once
// The thumbnail of a corpus image: a PNG of ThumbWidth x ThumbHeight pixels in the image's main
// colour with a pattern drawn from its id, so different images give different pictures.

#include <string>

#include "service/ImageEntry.h"

namespace zb {

std::string ThumbnailPng(const ImageEntry& entry);

}  // namespace zb
