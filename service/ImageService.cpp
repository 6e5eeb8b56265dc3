#include "service/ImageService.h"

#include "service/EBadRequest.h"
#include "service/ImageQuery.h"
#include "service/ModernResultPage.h"
#include "service/ServicePages.h"
#include "service/ServiceText.h"
#include "service/Thumbnail.h"

namespace zb {

HttpResponse ImageService::Error(int status, const std::string& message) {
    HttpResponse r;
    r.Status = status;
    r.Body = RenderErrorPage(status, message);
    return r;
}

HttpResponse ImageService::SearchPage(const ImageQuery& query,
                                      const ResultPageOptions& options) const {
    HttpResponse r;
    if (!query.HasQ) {
        r.Body = RenderHomePage();
    } else if (layout_ == PageLayout::Modern) {
        r.ContentType = "text/html; charset=utf-8";
        r.Body = RenderModernResultPage(query, *hits_.Find(query), options);
    } else {
        r.Body = RenderResultPage(query, *hits_.Find(query), options);
    }
    return r;
}

HttpResponse ImageService::Answer(const HttpRequest& request,
                                  const ResultPageOptions& options) const {
    if (request.Method != "GET" && request.Method != "HEAD") {
        HttpResponse r = Error(405, "only GET and HEAD are served");
        r.Headers.emplace_back("Allow", "GET, HEAD");
        return r;
    }
    try {
        const RequestTarget target = SplitTarget(request.Target);
        const std::string path = PercentDecode(target.Path);
        if (path == "/") {
            HttpResponse r;
            r.Body = RenderHomePage();
            return r;
        }
        if (path == "/search" && layout_ == PageLayout::Modern) {
            return SearchPage(ParseSearchQuery(target.Query), options);
        }
        if (path != "/images") return Error(404, "no page at " + path);

        const ImageQuery query = ParseImageQuery(target.Query);
        HttpResponse r;
        if (query.IsThumbnail()) {
            const ImageEntry* entry = corpus_.FindById(query.ThumbnailId);
            if (entry == nullptr) return Error(404, "no thumbnail " + query.ThumbnailId);
            r.ContentType = "image/png";
            r.Body = ThumbnailPng(*entry);
            return r;
        }
        return SearchPage(query, options);
    } catch (const EBadRequest& e) {
        return Error(e.Status, e.Message);
    }
}

}  // namespace zb
