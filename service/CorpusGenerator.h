#pragma once
// Builds the service's bundled corpus: the same images, ids and order on every run.

#include <cstddef>

#include "service/ImageCorpus.h"

namespace zb {

inline constexpr std::size_t kDefaultCorpusSize = 3000;

// Generates count images from fixed word lists (subject, colour, style and place, each in
// Japanese and English). About 55% of the pages are Japanese, 8% of the images are adult, and
// every image carries the keywords "画像" and "image", so a search for either lists them all.
ImageCorpus GenerateCorpus(std::size_t count = kDefaultCorpusSize);

}  // namespace zb
