// The result page read as the search session reads it: link lines, the next-page marker, paging,
// the other line shapes, and the deliberate page defects.

#include <gtest/gtest.h>

#include <algorithm>

#include "PageScan.h"
#include "common/Cp932.h"
#include "service/CorpusGenerator.h"
#include "service/ImageCorpus.h"
#include "service/ImageQuery.h"
#include "service/ResultPage.h"

namespace zb {
namespace {

using test::PageLines;
using test::PageScan;
using test::ScanPage;

class ResultPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { corpus_ = new ImageCorpus(GenerateCorpus()); }
    static void TearDownTestSuite() {
        delete corpus_;
        corpus_ = nullptr;
    }

    static std::vector<std::string> Expected(const ImageQuery& q) {
        std::vector<std::string> paths;
        for (const ImageEntry* e : corpus_->Search(q))
            paths.push_back(ThumbnailPath(*e));
        return paths;
    }

    static std::string Page(const std::string& queryString, const ResultPageOptions& o = {}) {
        const ImageQuery q = ParseImageQuery(queryString);
        return RenderResultPage(q, corpus_->Search(q), o);
    }

    // Follows the pages as the session does: offsets 0, num, 2 num ... while the marker shows.
    static std::vector<std::string> Harvest(const std::string& params, int num, int* pages) {
        std::vector<std::string> paths;
        *pages = 0;
        for (int start = 0;; start += num) {
            const PageScan scan = ScanPage(
                Page(params + "&num=" + std::to_string(num) + "&start=" + std::to_string(start)));
            ++*pages;
            EXPECT_LE(scan.Paths.size(), static_cast<std::size_t>(num));
            paths.insert(paths.end(), scan.Paths.begin(), scan.Paths.end());
            if (!scan.NextMarker) return paths;
        }
    }

    static ImageCorpus* corpus_;
};

ImageCorpus* ResultPages::corpus_ = nullptr;

TEST_F(ResultPages, FollowingTheMarkerListsEveryHitOnceInOrder) {
    for (const std::string params : {"q=cat&hl=ja&imgsafe=on", "q=image&hl=ja&imgsafe=off",
                                     "q=red+-car&hl=en&imgsafe=on&lr=lang_ja"}) {
        for (const int num : {20, 7}) {
            const std::vector<std::string> expected = Expected(ParseImageQuery(params));
            ASSERT_GT(expected.size(), static_cast<std::size_t>(num)) << params;
            int pages = 0;
            EXPECT_EQ(Harvest(params, num, &pages), expected) << params << " num=" << num;
            EXPECT_EQ(pages, static_cast<int>((expected.size() + num - 1) / num)) << params;
        }
    }
}

TEST_F(ResultPages, MarkerOnlyWhenMoreHitsFollow) {
    const std::size_t total = Expected(ParseImageQuery("q=cat")).size();
    const int lastFull = static_cast<int>(total / 20 * 20);
    // A page that ends exactly at the last hit has no marker; one before it does.
    const int exactEnd = static_cast<int>(total) - 20;
    EXPECT_TRUE(ScanPage(Page("q=cat&start=" + std::to_string(exactEnd - 1))).NextMarker);
    EXPECT_FALSE(ScanPage(Page("q=cat&start=" + std::to_string(exactEnd))).NextMarker);
    const PageScan beyond = ScanPage(Page("q=cat&start=" + std::to_string(lastFull + 40)));
    EXPECT_TRUE(beyond.Paths.empty());
    EXPECT_FALSE(beyond.NextMarker);
    const PageScan none = ScanPage(Page("q=nosuchword"));
    EXPECT_TRUE(none.Paths.empty());
    EXPECT_FALSE(none.NextMarker);
}

TEST_F(ResultPages, HitLinesAndTheOtherLineShapes) {
    const std::string page = Page("q=cat&start=20&hl=ja");
    std::size_t hitLines = 0, multiLinkLines = 0, queryLinkLines = 0, nearMisses = 0;
    for (const std::string& line : PageLines(page)) {
        const std::size_t src = line.find("src=/images?q=tbn:");
        if (src != std::string::npos) {
            ++hitLines;
            // The path is followed directly by " width=", and the line's first src= is the link.
            EXPECT_EQ(line.find("src="), src) << line;
            EXPECT_NE(line.find(" width=", src), std::string::npos) << line;
            continue;
        }
        std::size_t links = 0;
        for (std::size_t at = line.find("<a href"); at != std::string::npos;
             at = line.find("<a href", at + 1)) {
            ++links;
        }
        multiLinkLines += links >= 3;
        queryLinkLines += line.find("/images?q=") != std::string::npos;
        nearMisses += line.find("src=/images/") != std::string::npos;
    }
    EXPECT_EQ(hitLines, 20u);
    EXPECT_GE(multiLinkLines, 2u);  // the section links, the page numbers, the footer
    EXPECT_GE(queryLinkLines, 2u);  // links carrying the query that are no image links
    EXPECT_GE(nearMisses, 2u);      // logo and navigation images
    // The page is valid CP932 throughout, Japanese captions included.
    EXPECT_EQ(Cp932ToUtf8(page).find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_NE(page.find(Utf8ToCp932("次へ")), std::string::npos);
    EXPECT_NE(Page("q=cat&hl=en").find(">Next<"), std::string::npos);
}

TEST_F(ResultPages, PageWithoutTheMarker) {
    ResultPageOptions o;
    o.NextMarker = false;
    const PageScan scan = ScanPage(Page("q=cat", o));
    EXPECT_FALSE(scan.NextMarker);
    const std::vector<std::string> expected = Expected(ParseImageQuery("q=cat"));
    EXPECT_EQ(scan.Paths, std::vector<std::string>(expected.begin(), expected.begin() + 20));
}

TEST_F(ResultPages, DoubledSrcBreaksTheScanAtThatHit) {
    ResultPageOptions o;
    o.DoubleSrcHit = 4;
    const std::string page = Page("q=cat", o);
    const PageScan scan = ScanPage(page);
    EXPECT_TRUE(scan.Broken);
    EXPECT_EQ(scan.LinkLines, 20u);
    const std::vector<std::string> expected = Expected(ParseImageQuery("q=cat"));
    EXPECT_EQ(scan.Paths, std::vector<std::string>(expected.begin(), expected.begin() + 3));
    EXPECT_NE(page.find("src=src=" + expected[3] + " width="), std::string::npos);
}

TEST_F(ResultPages, EchoedQueryNeverAddsLinksOrMarkers) {
    // Words that spell the scanners' patterns or markup are shown, but cannot be mistaken for
    // image links or the next-page marker, not even on the last page.
    for (const std::string q :
         {"q=cat+-nav_next.gif", "q=cat+-nav_nextXgif+-src%3D%2Fimages%3Fq", "q=nav_next.gif",
          "q=cat+-%3Cimg+-src%3D%2Fimages%3Fq%3Dtbn%3Ax%20width%3D1%3E"}) {
        const ImageQuery query = ParseImageQuery(q);
        const std::vector<std::string> expected = Expected(query);
        const int lastStart =
            expected.empty() ? 0 : static_cast<int>((expected.size() - 1) / 20 * 20);
        const PageScan last = ScanPage(Page(q + "&start=" + std::to_string(lastStart)));
        EXPECT_FALSE(last.NextMarker) << q;
        EXPECT_EQ(last.LinkLines, last.Paths.size()) << q;
        EXPECT_EQ(last.Paths,
                  std::vector<std::string>(expected.begin() + lastStart, expected.end()))
            << q;
    }
}

}  // namespace
}  // namespace zb
