#pragma once
// The result page of the modern layout: UTF-8 HTML whose hits each stand on a line of their own
// as <img class="thumb" data-src="/images?q=tbn:<id>" ...>, before any other text of the line;
// the head carries <link rel="next" href="/search?..."> exactly when more hits follow (and
// rel="prev" after the first page). Links to other pages use the /search address shape.

#include <string>
#include <vector>

#include "service/ImageEntry.h"
#include "service/ImageQuery.h"
#include "service/ResultPage.h"

namespace zb {

// The page for query over all its hits; the defects of options apply as on the classic page
// (DoubleSrcHit writes that hit's attribute name twice: data-src="data-src="...).
std::string RenderModernResultPage(const ImageQuery& query,
                                   const std::vector<const ImageEntry*>& hits,
                                   const ResultPageOptions& options = {});

}  // namespace zb
