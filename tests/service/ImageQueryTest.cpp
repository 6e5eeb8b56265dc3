// Parsing of the search parameters and of request targets.

#include <gtest/gtest.h>

#include "common/Cp932.h"
#include "service/EBadRequest.h"
#include "service/HttpRequest.h"
#include "service/ImageQuery.h"
#include "service/ServiceText.h"

namespace zb {
namespace {

using Words = std::vector<std::string>;

TEST(ImageQuery, RawAndPercentEncodedCp932GiveTheSameWords) {
    const std::string cat = Utf8ToCp932("猫");
    const std::string table = Utf8ToCp932("表");  // trail byte 0x5C
    const ImageQuery raw = ParseImageQuery("q=" + cat + "+" + table + "+-" + cat + "&num=20");
    const ImageQuery encoded = ParseImageQuery("q=" + PercentEncode(cat) + "+%95%5c+-%94%4C");
    EXPECT_EQ(raw.Words, (Words{cat, table}));
    EXPECT_EQ(raw.ExcludedWords, Words{cat});
    EXPECT_EQ(encoded.Words, raw.Words);
    EXPECT_EQ(encoded.ExcludedWords, raw.ExcludedWords);
}

TEST(ImageQuery, PlusSeparatesWordsAndEmptyOnesAreSkipped) {
    // a, two blanks, b arrives as a++b; Not words of two blanks add +-+-+- after the And words.
    const ImageQuery q = ParseImageQuery("q=a++b+-+-+-&num=20&start=0&hl=ja&imgsafe=on");
    EXPECT_EQ(q.Words, (Words{"a", "b"}));
    EXPECT_TRUE(q.ExcludedWords.empty());
    EXPECT_TRUE(q.HasQ);
}

TEST(ImageQuery, EscapedSeparatorsStayInsideAWord) {
    // %2B, %26 and %23 are a word's own characters; only a raw '+' separates and only a raw
    // leading '-' excludes.
    const ImageQuery q = ParseImageQuery("q=c%2B%2B+AT%26T+%23tag+%2Dx+-y%25");
    EXPECT_EQ(q.Words, (Words{"c++", "AT&T", "#tag", "-x"}));
    EXPECT_EQ(q.ExcludedWords, Words{"y%"});
}

TEST(ImageQuery, OptionsAndDefaults) {
    const ImageQuery d = ParseImageQuery("q=cat");
    EXPECT_EQ(d.Num, 20);
    EXPECT_EQ(d.Start, 0);
    EXPECT_TRUE(d.SafeSearch);
    EXPECT_TRUE(d.Languages.empty());

    const ImageQuery q = ParseImageQuery("q=cat&num=50&start=40&hl=en&imgsafe=off&lr=lang_ja");
    EXPECT_EQ(q.Num, 50);
    EXPECT_EQ(q.Start, 40);
    EXPECT_FALSE(q.SafeSearch);
    EXPECT_EQ(q.UiLanguage, "en");
    EXPECT_EQ(q.Languages, Words{"ja"});

    EXPECT_EQ(ParseImageQuery("q=x&num=1000").Num, ImageQuery::kMaxNum);
    EXPECT_EQ(ParseImageQuery("q=x&num=0").Num, 20);
    EXPECT_TRUE(ParseImageQuery("q=x&imgsafe=maybe").SafeSearch);
    EXPECT_EQ(ParseImageQuery("q=x&lr=lang_ja%7Clang_EN|bogus").Languages, (Words{"ja", "en"}));
    // The first occurrence of a key counts.
    EXPECT_EQ(ParseImageQuery("q=a&q=b&start=20&start=40").Words, Words{"a"});
    EXPECT_EQ(ParseImageQuery("q=a&q=b&start=20&start=40").Start, 20);
}

TEST(ImageQuery, BadNumbersAreRefused) {
    for (const char* bad :
         {"q=a&start=-20", "q=a&start=abc", "q=a&num=2x", "q=a&start=", "q=a&start=99999999999"}) {
        try {
            ParseImageQuery(bad);
            ADD_FAILURE() << bad;
        } catch (const EBadRequest& e) {
            EXPECT_EQ(e.Status, 400) << bad;
        }
    }
}

TEST(ImageQuery, ThumbnailRequests) {
    EXPECT_EQ(ParseImageQuery("q=tbn:ZBabc123").ThumbnailId, "ZBabc123");
    EXPECT_EQ(ParseImageQuery("q=tbn%3AZBabc123").ThumbnailId, "ZBabc123");
    EXPECT_FALSE(ParseImageQuery("q=tbn:").IsThumbnail());
    EXPECT_FALSE(ParseImageQuery("q=cat+tbn:x").IsThumbnail());
}

TEST(ImageQuery, EncodeParsesBackToTheSameSearch) {
    ImageQuery q =
        ParseImageQuery("q=" + Utf8ToCp932("赤い+ソ") +
                        "+a%26b+-nav_next.gif&num=30&start=60&hl=ja&imgsafe=off&lr=lang_ja");
    const std::string encoded = q.Encode(90);
    const ImageQuery back = ParseImageQuery(encoded);
    EXPECT_EQ(back.Words, q.Words);
    EXPECT_EQ(back.ExcludedWords, q.ExcludedWords);
    EXPECT_EQ(back.Num, 30);
    EXPECT_EQ(back.Start, 90);
    EXPECT_FALSE(back.SafeSearch);
    EXPECT_EQ(back.Languages, q.Languages);
    EXPECT_EQ(encoded.find("nav_next"), std::string::npos);
    EXPECT_EQ(q.DisplayText(), Utf8ToCp932("赤い ソ") + " a&b -nav_next.gif");
}

TEST(SearchQuery, Utf8WordsAndTheSearchParameters) {
    const ImageQuery q =
        ParseSearchQuery("q=" + PercentEncode("赤い") + "+cat+-" + PercentEncode("車") +
                         "&offset=40&count=30&safe=off&lang=ja,EN&ui=en");
    EXPECT_EQ(q.Words, (Words{Utf8ToCp932("赤い"), "cat"}));
    EXPECT_EQ(q.ExcludedWords, Words{Utf8ToCp932("車")});
    EXPECT_EQ(q.Start, 40);
    EXPECT_EQ(q.Num, 30);
    EXPECT_FALSE(q.SafeSearch);
    EXPECT_EQ(q.Languages, (Words{"ja", "en"}));
    EXPECT_EQ(q.UiLanguage, "en");

    // Its own links name the same search.
    const ImageQuery back = ParseSearchQuery(q.EncodeSearch(60));
    EXPECT_EQ(back.Words, q.Words);
    EXPECT_EQ(back.ExcludedWords, q.ExcludedWords);
    EXPECT_EQ(back.Start, 60);
    EXPECT_EQ(back.Num, 30);
    EXPECT_FALSE(back.SafeSearch);
    EXPECT_EQ(back.Languages, q.Languages);
    EXPECT_EQ(back.UiLanguage, "en");

    // CP932 bytes are not UTF-8; offset and count are whole numbers.
    for (const std::string bad : {"q=%90%D4", "q=a&offset=x", "q=a&count=-1"}) {
        EXPECT_THROW(ParseSearchQuery(bad), EBadRequest) << bad;
    }
}

TEST(RequestTarget, OriginAndProxyForms) {
    const RequestTarget origin = SplitTarget("/images?q=a+b&num=20");
    EXPECT_EQ(origin.Path, "/images");
    EXPECT_EQ(origin.Query, "q=a+b&num=20");

    const std::string raw = "q=" + Utf8ToCp932("日本") + "&start=20";
    const RequestTarget proxy = SplitTarget("http://127.0.0.1:8080/images?" + raw);
    EXPECT_EQ(proxy.Path, "/images");
    EXPECT_EQ(proxy.Query, raw);

    EXPECT_EQ(SplitTarget("HTTP://example.jp").Path, "/");
    EXPECT_EQ(SplitTarget("http://example.jp?q=x").Query, "q=x");
    EXPECT_EQ(SplitTarget("/a?b?c").Query, "b?c");
    EXPECT_THROW(SplitTarget("images?q=x"), EBadRequest);
    EXPECT_THROW(SplitTarget("ftp://host/x"), EBadRequest);
    EXPECT_THROW(SplitTarget("http:///x"), EBadRequest);
}

}  // namespace
}  // namespace zb
