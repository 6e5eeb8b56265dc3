#pragma once
// The shapes of result page the service can write for the same search.

namespace zb {

enum class PageLayout {
    // CP932 table pages under /images: "src=/images?q=tbn:ID width=..." link lines and a
    // nav_next.gif line when more hits follow.
    Classic = 1,
    // UTF-8 pages, also under /search?q=...&offset=N&count=M: one data-src="/images?q=tbn:ID"
    // image a line and <link rel="next"> when more hits follow.
    Modern = 2,
};

}  // namespace zb
