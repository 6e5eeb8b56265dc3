// The pages of one search share one hit list; searches that select differently do not.

#include <gtest/gtest.h>

#include "service/CorpusGenerator.h"
#include "service/HitCache.h"

namespace zb {
namespace {

TEST(HitCache, PagesOfOneSearchShareTheList) {
    const ImageCorpus corpus = GenerateCorpus();
    HitCache cache(corpus);
    const struct {
        std::string First, Second;
        bool Shared;
    } cases[] = {
        {"q=cat&start=0", "q=cat&start=40&num=10&hl=en", true},
        {"q=cat", "q=cat&imgsafe=off", false},
        {"q=cat", "q=cat+-red", false},
        {"q=cat", "q=cat&lr=lang_ja", false},
        {"q=cat+red", "q=cat%2Bred", false},  // two words against one word holding '+'
    };
    for (const auto& c : cases) {
        const ImageQuery first = ParseImageQuery(c.First);
        const ImageQuery second = ParseImageQuery(c.Second);
        const HitCache::Hits a = cache.Find(first);
        EXPECT_EQ(a == cache.Find(second), c.Shared) << c.First << " / " << c.Second;
        EXPECT_EQ(*a, corpus.Search(first));
        EXPECT_EQ(*cache.Find(second), corpus.Search(second));
    }
}

}  // namespace
}  // namespace zb
