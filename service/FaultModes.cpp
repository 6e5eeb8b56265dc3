#include "service/FaultModes.h"

#include "service/EBadRequest.h"
#include "service/ImageQuery.h"
#include "service/ServiceText.h"

namespace zb {

RequestKind KindOf(const HttpRequest& request, PageLayout layout) {
    try {
        const RequestTarget target = SplitTarget(request.Target);
        const std::string path = PercentDecode(target.Path);
        if (path == "/search" && layout == PageLayout::Modern) {
            return ParseSearchQuery(target.Query).HasQ ? RequestKind::ResultPage
                                                       : RequestKind::Other;
        }
        if (path != "/images") return RequestKind::Other;
        const ImageQuery query = ParseImageQuery(target.Query);
        if (query.IsThumbnail()) return RequestKind::Thumbnail;
        return query.HasQ ? RequestKind::ResultPage : RequestKind::Other;
    } catch (const EBadRequest&) {
        return RequestKind::Other;
    }
}

bool InScope(FaultScope scope, RequestKind kind) {
    switch (scope) {
        case FaultScope::Pages:
            return kind == RequestKind::ResultPage;
        case FaultScope::Thumbnails:
            return kind == RequestKind::Thumbnail;
        case FaultScope::All:
            break;
    }
    return true;
}

}  // namespace zb
