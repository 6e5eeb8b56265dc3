#include "service/ExpectedHits.h"

#include "service/HttpRequest.h"
#include "service/ImageQuery.h"
#include "service/ResultPage.h"
#include "service/ServiceText.h"

namespace zb {

std::vector<std::string> ExpectedThumbnailPaths(const ImageCorpus& corpus, std::string_view request,
                                                PageLayout layout) {
    const bool isTarget =
        request.starts_with('/') || FoldAsciiCase(request.substr(0, 7)) == "http://";
    const RequestTarget target =
        isTarget ? SplitTarget(request) : RequestTarget{"", std::string(request)};
    const bool searchShape =
        layout == PageLayout::Modern && PercentDecode(target.Path) != "/images";
    const ImageQuery query =
        searchShape ? ParseSearchQuery(target.Query) : ParseImageQuery(target.Query);
    std::vector<std::string> paths;
    for (const ImageEntry* e : corpus.Search(query)) {
        paths.push_back(ThumbnailPath(*e));
    }
    return paths;
}

}  // namespace zb
