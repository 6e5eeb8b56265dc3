#pragma once
// What a search should list, for tests that compare a harvested list with the corpus.

#include <string>
#include <string_view>
#include <vector>

#include "service/ImageCorpus.h"
#include "service/PageLayout.h"

namespace zb {

// The thumbnail paths (/images?q=tbn:<id>) of every hit of a search, over all its pages, in the
// order the pages list them; num and start are ignored. request may be a query string
// (q=...&imgsafe=...), a request target (/images?q=...) or an address (http://host/images?q=...),
// with raw CP932 bytes or percent escapes. In the modern layout a request that is not for /images
// (a /search target or address, or a bare query string) has the /search parameters, its words
// UTF-8. Raises EBadRequest when it cannot be parsed.
std::vector<std::string> ExpectedThumbnailPaths(const ImageCorpus& corpus, std::string_view request,
                                                PageLayout layout = PageLayout::Classic);

}  // namespace zb
