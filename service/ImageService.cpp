#include "service/ImageService.h"

#include "service/EBadRequest.h"
#include "service/ImageQuery.h"
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
        if (path != "/images") return Error(404, "no page at " + path);

        const ImageQuery query = ParseImageQuery(target.Query);
        HttpResponse r;
        if (query.IsThumbnail()) {
            const ImageEntry* entry = corpus_.FindById(query.ThumbnailId);
            if (entry == nullptr) return Error(404, "no thumbnail " + query.ThumbnailId);
            r.ContentType = "image/png";
            r.Body = ThumbnailPng(*entry);
        } else if (!query.HasQ) {
            r.Body = RenderHomePage();
        } else {
            r.Body = RenderResultPage(query, *hits_.Find(query), options);
        }
        return r;
    } catch (const EBadRequest& e) {
        return Error(e.Status, e.Message);
    }
}

}  // namespace zb
