#pragma once
// What the service answers to one request, apart from the connection: the routes, the result
// page, thumbnails and error pages.
//
//   GET /                        the start page with a search form
//   GET /images?q=tbn:<id>       the thumbnail of an image (PNG)
//   GET /images?q=WORDS&...      the result page (see ImageQuery)
//   GET /images                  the start page
// HEAD is answered like GET without the body; other methods get 405, other paths 404.

#include "service/HitCache.h"
#include "service/HttpRequest.h"
#include "service/HttpResponse.h"
#include "service/ImageCorpus.h"
#include "service/ResultPage.h"

namespace zb {

class ImageService {
public:
    explicit ImageService(const ImageCorpus& corpus) : corpus_(corpus), hits_(corpus) {}

    HttpResponse Answer(const HttpRequest& request, const ResultPageOptions& options = {}) const;

    // An error response with a small HTML page.
    static HttpResponse Error(int status, const std::string& message);

private:
    const ImageCorpus& corpus_;
    mutable HitCache hits_;  // the pages of a search share its hit list
};

}  // namespace zb
