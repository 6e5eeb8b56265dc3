#include "service/ExpectedHits.h"

#include "service/HttpRequest.h"
#include "service/ImageQuery.h"
#include "service/ResultPage.h"
#include "service/ServiceText.h"

namespace zb {

std::vector<std::string> ExpectedThumbnailPaths(const ImageCorpus& corpus,
                                                std::string_view request) {
    const bool isTarget =
        request.starts_with('/') || FoldAsciiCase(request.substr(0, 7)) == "http://";
    const std::string query = isTarget ? SplitTarget(request).Query : std::string(request);
    std::vector<std::string> paths;
    for (const ImageEntry* e : corpus.Search(ParseImageQuery(query))) {
        paths.push_back(ThumbnailPath(*e));
    }
    return paths;
}

}  // namespace zb
