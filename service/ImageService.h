#pragma once
// What the service answers to one request, apart from the connection: the routes, the result
// page, thumbnails and error pages.
//
//   GET /                        the start page with a search form
//   GET /images?q=tbn:<id>       the thumbnail of an image (PNG)
//   GET /images?q=WORDS&...      the result page (see ImageQuery)
//   GET /images                  the start page
//   GET /search?q=WORDS&...      in the modern layout: the result page (see ParseSearchQuery)
// The result pages have the service's page layout. HEAD is answered like GET without the body;
// other methods get 405, other paths 404.

#include "service/HitCache.h"
#include "service/HttpRequest.h"
#include "service/HttpResponse.h"
#include "service/ImageCorpus.h"
#include "service/PageLayout.h"
#include "service/ResultPage.h"

namespace zb {

class ImageService {
public:
    explicit ImageService(const ImageCorpus& corpus, PageLayout layout = PageLayout::Classic)
        : corpus_(corpus), layout_(layout), hits_(corpus) {}

    PageLayout Layout() const { return layout_; }

    HttpResponse Answer(const HttpRequest& request, const ResultPageOptions& options = {}) const;

    // An error response with a small HTML page.
    static HttpResponse Error(int status, const std::string& message);

private:
    HttpResponse SearchPage(const ImageQuery& query, const ResultPageOptions& options) const;

    const ImageCorpus& corpus_;
    PageLayout layout_;
    mutable HitCache hits_;  // the pages of a search share its hit list
};

}  // namespace zb
