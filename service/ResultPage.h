#pragma once
// The CP932 HTML result page of an image search. Every hit stands on a line of its own that holds
// its image link, src=/images?q=tbn:<id> followed by " width=..."; the page also carries
// navigation, text and multi-link lines, and a line with nav_next.gif exactly when more hits
// follow this page.

#include <string>
#include <vector>

#include "service/ImageEntry.h"
#include "service/ImageQuery.h"

namespace zb {

// Deliberate defects for tests of the page's readers.
struct ResultPageOptions {
    bool NextMarker = true;  // false: leave out the next-page line even when more hits follow
    int DoubleSrcHit = 0;    // > 0: that hit of the page (1-based) has "src=" written twice
};

// The path a page lists for a thumbnail: /images?q=tbn:<id>.
std::string ThumbnailPath(const ImageEntry& entry);

// Renders the page for query over all its hits (the page shows hits Start .. Start + Num - 1).
std::string RenderResultPage(const ImageQuery& query, const std::vector<const ImageEntry*>& hits,
                             const ResultPageOptions& options = {});

}  // namespace zb
