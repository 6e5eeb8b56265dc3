// The second page layout read as its sample profile reads it: one data-src line a hit, and the
// rel="next" line exactly while more hits follow.

#include <gtest/gtest.h>

#include <QStringDecoder>
#include <string>
#include <vector>

#include "PageScan.h"
#include "service/CorpusGenerator.h"
#include "service/HttpRequest.h"
#include "service/ImageCorpus.h"
#include "service/ImageQuery.h"
#include "service/ModernResultPage.h"

namespace zb {
namespace {

struct ModernScan {
    std::vector<std::string> Paths;  // what stands between data-src=" and the next quote
    std::string Next;                // the rel="next" link's target, "" when none
};

ModernScan Scan(const std::string& page) {
    const std::string attribute = "data-src=\"", next = "<link rel=\"next\" href=\"";
    ModernScan scan;
    for (const std::string& line : test::PageLines(page)) {
        if (line.starts_with(next)) {
            EXPECT_TRUE(scan.Next.empty());
            scan.Next = line.substr(next.size(), line.find('"', next.size()) - next.size());
        }
        const std::size_t at = line.find(attribute);
        if (at == std::string::npos) continue;
        const std::size_t from = at + attribute.size();
        scan.Paths.push_back(line.substr(from, line.find('"', from) - from));
    }
    return scan;
}

class ModernResultPages : public ::testing::Test {
protected:
    static void SetUpTestSuite() { corpus_ = new ImageCorpus(GenerateCorpus()); }
    static void TearDownTestSuite() {
        delete corpus_;
        corpus_ = nullptr;
    }

    static std::string Page(const ImageQuery& q, const ResultPageOptions& o = {}) {
        return RenderModernResultPage(q, corpus_->Search(q), o);
    }

    static ImageCorpus* corpus_;
};

ImageCorpus* ModernResultPages::corpus_ = nullptr;

TEST_F(ModernResultPages, FollowingRelNextListsEveryHitOnceInUtf8Pages) {
    for (const std::string params :
         {"q=cat&safe=on", "q=%E8%B5%A4+-car&safe=off&lang=ja&count=7&ui=en"}) {
        ImageQuery q = ParseSearchQuery(params);
        std::vector<std::string> expected;
        for (const ImageEntry* e : corpus_->Search(q)) {
            expected.push_back(ThumbnailPath(*e));
        }
        ASSERT_GT(expected.size(), static_cast<std::size_t>(2 * q.Num)) << params;
        std::vector<std::string> paths;
        for (int pages = 1;; ++pages) {
            const std::string page = Page(q);
            QStringDecoder utf8(QStringDecoder::Utf8);
            [[maybe_unused]] const QString text = utf8(QByteArrayView(page));
            EXPECT_FALSE(utf8.hasError()) << params;
            const ModernScan scan = Scan(page);
            EXPECT_LE(scan.Paths.size(), static_cast<std::size_t>(q.Num));
            paths.insert(paths.end(), scan.Paths.begin(), scan.Paths.end());
            if (scan.Next.empty()) break;
            ASSERT_LT(pages, 100) << params;
            const RequestTarget next = SplitTarget(scan.Next);
            EXPECT_EQ(next.Path, "/search");
            q = ParseSearchQuery(next.Query);
        }
        EXPECT_EQ(paths, expected) << params;
    }
}

TEST_F(ModernResultPages, PageDefects) {
    const ImageQuery q = ParseSearchQuery("q=cat");
    const ModernScan normal = Scan(Page(q));
    ASSERT_EQ(normal.Paths.size(), 20u);
    EXPECT_FALSE(normal.Next.empty());
    EXPECT_TRUE(Scan(Page(q, {.NextMarker = false})).Next.empty());

    std::vector<std::string> doubled = normal.Paths;
    doubled[2] = "data-src=";  // the attribute's name is written twice
    EXPECT_EQ(Scan(Page(q, {.DoubleSrcHit = 3})).Paths, doubled);
}

}  // namespace
}  // namespace zb
