// Which images a search selects, over a small corpus built here and over the bundled one.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>

#include "common/Cp932.h"
#include "common/Exception.h"
#include "service/CorpusGenerator.h"
#include "service/ImageCorpus.h"
#include "service/ImageQuery.h"
#include "service/ServiceText.h"

namespace zb {
namespace {

ImageEntry Entry(const std::string& id, const std::string& titleUtf8,
                 const std::vector<std::string>& keywordsUtf8, bool adult = false,
                 const std::string& language = "ja") {
    ImageEntry e;
    e.Id = id;
    e.Title = Utf8ToCp932(titleUtf8);
    for (const std::string& k : keywordsUtf8)
        e.Keywords.push_back(Utf8ToCp932(k));
    e.Adult = adult;
    e.Language = language;
    return e;
}

class SmallCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        corpus.Add(Entry("a1", "赤い車", {"車", "car", "red"}));
        corpus.Add(Entry("a2", "Red Car in Tokyo", {"car", "Tokyo"}, false, "en"));
        corpus.Add(Entry("a3", "青い車のおもちゃ", {"車", "car", "toy", "blue"}));
        corpus.Add(Entry("a4", "セクシーな赤い車", {"車", "car", "red"}, true));
        corpus.Add(Entry("a5", "ソフトクリーム", {"表紙", "soft serve"}));
        corpus.Add(Entry("a6", "Voiture rouge", {"car", "red"}, false, "fr"));
    }

    std::vector<std::string> Ids(const std::string& queryString) const {
        std::vector<std::string> ids;
        for (const ImageEntry* e : corpus.Search(ParseImageQuery(Utf8ToCp932(queryString)))) {
            ids.push_back(e->Id);
        }
        return ids;
    }

    ImageCorpus corpus;
};

using IdList = std::vector<std::string>;

TEST_F(SmallCorpus, EveryWordMustBePresentInTitleOrKeywords) {
    EXPECT_EQ(Ids("q=car"), (IdList{"a1", "a2", "a3", "a6"}));
    EXPECT_EQ(Ids("q=car+red"), (IdList{"a1", "a2", "a6"}));  // a2 has red only in its title
    EXPECT_EQ(Ids("q=CAR+Tokyo"), IdList{"a2"});              // letters without case
    EXPECT_EQ(Ids("q=赤い+車"), IdList{"a1"});
    EXPECT_EQ(Ids("q=car+boat"), IdList{});
}

TEST_F(SmallCorpus, ExcludedWordsRemoveHits) {
    EXPECT_EQ(Ids("q=car+-toy"), (IdList{"a1", "a2", "a6"}));
    EXPECT_EQ(Ids("q=car+-toy+-TOKYO"), (IdList{"a1", "a6"}));
    EXPECT_EQ(Ids("q=car+-car"), IdList{});
    // Without a word to look for nothing is selected, whatever is excluded.
    EXPECT_EQ(Ids("q=-toy"), IdList{});
    EXPECT_EQ(Ids("q="), IdList{});
}

TEST_F(SmallCorpus, AdultFilterAndLanguageFilter) {
    EXPECT_EQ(Ids("q=red&imgsafe=on"), (IdList{"a1", "a2", "a6"}));
    EXPECT_EQ(Ids("q=red&imgsafe=off"), (IdList{"a1", "a2", "a4", "a6"}));
    EXPECT_EQ(Ids("q=red&imgsafe=off&lr=lang_ja"), (IdList{"a1", "a4"}));
    EXPECT_EQ(Ids("q=car&lr=lang_en|lang_fr"), (IdList{"a2", "a6"}));
}

TEST_F(SmallCorpus, DoubleByteWordsCompareWholeCharacters) {
    // ソ and 表 end in the byte '\\'; ア ends in 'A'.
    EXPECT_EQ(Ids("q=ソフト"), IdList{"a5"});
    EXPECT_EQ(Ids("q=表紙"), IdList{"a5"});
    EXPECT_EQ(Ids("q=%5C"), IdList{});
    EXPECT_EQ(Ids("q=%83"), IdList{});
}

TEST_F(SmallCorpus, IdsAreCheckedWhenAdded) {
    EXPECT_EQ(corpus.FindById("a3")->Title, Utf8ToCp932("青い車のおもちゃ"));
    EXPECT_EQ(corpus.FindById("zz"), nullptr);
    EXPECT_THROW(corpus.Add(Entry("a1", "again", {})), Exception);
    EXPECT_THROW(corpus.Add(Entry("", "no id", {})), Exception);
    EXPECT_THROW(corpus.Add(Entry("a&b", "bad id", {})), Exception);
}

TEST(GeneratedCorpus, IsLargeMixedAndTheSameOnEveryRun) {
    const ImageCorpus corpus = GenerateCorpus();
    ASSERT_GE(corpus.Size(), 2000u);
    const ImageCorpus again = GenerateCorpus();
    std::set<std::string> ids;
    std::size_t adult = 0, japanese = 0;
    bool japaneseTitle = false, englishTitle = false;
    for (std::size_t i = 0; i < corpus.Size(); ++i) {
        const ImageEntry& e = corpus.Entries()[i];
        EXPECT_EQ(e.Id, again.Entries()[i].Id);
        EXPECT_EQ(e.Title, again.Entries()[i].Title);
        ids.insert(e.Id);
        adult += e.Adult;
        japanese += e.Language == "ja";
        const bool ascii = std::all_of(e.Title.begin(), e.Title.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        (ascii ? englishTitle : japaneseTitle) = true;
        EXPECT_GT(e.ThumbWidth, 0);
        EXPECT_LE(e.ThumbWidth, 120);
        EXPECT_GT(e.ThumbHeight, 0);
        EXPECT_LE(e.ThumbHeight, 120);
    }
    EXPECT_EQ(ids.size(), corpus.Size());
    EXPECT_TRUE(japaneseTitle && englishTitle);
    EXPECT_GT(adult, 0u);
    EXPECT_LT(adult, corpus.Size() / 4);
    EXPECT_GT(japanese, corpus.Size() / 3);
    EXPECT_LT(japanese, corpus.Size());
}

TEST(GeneratedCorpus, FiltersShrinkTheGenericSearch) {
    const ImageCorpus corpus = GenerateCorpus();
    const auto count = [&](const std::string& q) {
        return corpus.Search(ParseImageQuery(Utf8ToCp932(q))).size();
    };
    const std::size_t all = count("q=image&imgsafe=off");
    EXPECT_EQ(all, corpus.Size());
    EXPECT_EQ(count("q=画像&imgsafe=off"), all);
    EXPECT_LT(count("q=image&imgsafe=on"), all);
    EXPECT_LT(count("q=image&imgsafe=on&lr=lang_ja"), count("q=image&imgsafe=on"));
    // Japanese and English words reach the same images.
    EXPECT_EQ(count("q=猫"), count("q=cat"));
    EXPECT_GT(count("q=cat"), 0u);
    EXPECT_EQ(count("q=cat+-cat"), 0u);
    EXPECT_EQ(count("q=cat") + count("q=image+-cat"), count("q=image"));
}

// The index must select exactly what reading every image selects. The queries are cut from the
// corpus texts at any byte (so some start or end inside a double-byte character), with letters
// upper-cased, a second word or an excluded word, and the filters; a few are written out.
TEST(GeneratedCorpus, IndexSearchSelectsWhatAScanSelects) {
    const ImageCorpus corpus = GenerateCorpus();
    const auto same = [&](const std::string& queryString) {
        const ImageQuery q = ParseImageQuery(queryString);
        EXPECT_EQ(corpus.Search(q), corpus.SearchByScan(q)) << queryString;
    };
    for (const std::string written :
         {"q=%83", "q=%5C", "q=%7C", "q=%94%5C", "q=No%2E1", "q=%B6%D2%D7", "q=a+-e",
          "q=1&imgsafe=off", "q=Red+-red", "q=zzz", "q=-cat", "q=image&lr=lang_de|lang_fr"}) {
        same(written);
    }
    std::uint64_t seed = 12345;
    const auto next = [&seed](std::size_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((seed >> 33) % n);
    };
    const auto piece = [&] {
        const ImageEntry& e = corpus.Entries()[next(corpus.Size())];
        const std::string& text = next(3) == 0 ? e.Title : e.Keywords[next(e.Keywords.size())];
        const std::size_t from = next(text.size());
        std::string word =
            text.substr(from, 1 + next(std::min<std::size_t>(6, text.size() - from)));
        if (next(4) == 0 && word[0] >= 'a' && word[0] <= 'z')
            word[0] = static_cast<char>(word[0] - 32);
        return PercentEncode(word);
    };
    for (int i = 0; i < 400; ++i) {
        std::string q = "q=" + piece();
        if (next(3) == 0) q += "+" + piece();
        if (next(3) == 0) q += "+-" + piece();
        q += next(2) == 0 ? "&imgsafe=off" : "&imgsafe=on";
        if (next(4) == 0) q += "&lr=lang_ja";
        same(q);
    }
}

}  // namespace
}  // namespace zb
