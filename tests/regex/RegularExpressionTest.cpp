// The compiled-expression object: compile cache, error recovery, dictionary switches, marker
// codes and the DFA step.

#include "regex/TRegularExpression.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"
#include "regex/REDictionary.h"

namespace zb {
namespace {

// Counts compilations, so cache hits can be told from misses.
class CountingExpression : public TRegularExpression {
public:
    void Translate(const std::string& processed) override {
        ++translations;
        TRegularExpression::Translate(processed);
    }
    int translations = 0;
};

class LFExpression : public TRegularExpression {
public:
    WChar_t GetLineHeadWChar() const override { return 10; }
    WChar_t GetLineTailWChar() const override { return 10; }
};

std::vector<std::string> cacheKeys(const TRegularExpression& re) {
    std::vector<std::string> keys;
    for (const auto& entry : re.RegExpCache)
        keys.push_back(entry.first);
    return keys;
}

TEST(RegularExpression, FreshObjectStandsOnTheEmptyExpression) {
    TRegularExpression re;
    EXPECT_EQ(re.RegExp(), "");
    EXPECT_EQ(re.GetProcessedRegExp(), "");
    EXPECT_EQ(re.CurrentIndex, 0u);
    EXPECT_TRUE(re.GetRegExpIsSimple());
    EXPECT_EQ(re.GetSimpleRegExp(), "");
    EXPECT_TRUE(re.GetpInitialDFAState()->Accepted);
    EXPECT_EQ(re.LineHeadWChar(), 0xFFFD);
    EXPECT_EQ(re.LineTailWChar(), 0xFFFE);
}

TEST(RegularExpression, CacheHitSelectsWithoutCompiling) {
    CountingExpression re;
    re.SetRegExp("a");
    re.SetRegExp("b");
    re.SetRegExp("a");
    EXPECT_EQ(re.translations, 2);
    EXPECT_EQ(re.CurrentIndex, 2u);  // "a" was pushed down by "b"
    EXPECT_EQ(cacheKeys(re), (std::vector<std::string>{"", "b", "a"}));
    EXPECT_EQ(re.RegExp(), "a");
    re.SetRegExp("");
    EXPECT_EQ(re.CurrentIndex, 0u);
    EXPECT_EQ(re.translations, 2);
}

TEST(RegularExpression, OldestInsertedEntryIsEvictedNotTheLeastRecentlyUsed) {
    CountingExpression re;
    for (int i = 1; i <= 29; ++i)
        re.SetRegExp("e" + std::to_string(i));
    EXPECT_EQ(re.RegExpCache.size(), 30u);
    re.SetRegExp("e1");  // a hit does not move the entry
    EXPECT_EQ(re.translations, 29);
    re.SetRegExp("e30");
    EXPECT_EQ(re.RegExpCache.size(), 30u);
    const auto keys = cacheKeys(re);
    EXPECT_EQ(keys[0], "");
    EXPECT_EQ(keys[1], "e30");
    EXPECT_EQ(keys[29], "e2");
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "e1"), 0);
    re.SetRegExp("e1");
    EXPECT_EQ(re.translations, 31);
}

TEST(RegularExpression, SyntaxErrorFallsBackToTheEmptyExpression) {
    TRegularExpression re;
    re.SetRegExp("abc");
    const ERegExpParser e = test::parserError([&] { re.SetRegExp("(ab"); });
    EXPECT_EQ(e.Message, "右(閉じ)括弧が必要です");
    EXPECT_EQ(e.ErrorPos, 4);
    EXPECT_EQ(re.RegExp(), "");
    EXPECT_EQ(re.GetProcessedRegExp(), "");
    EXPECT_EQ(re.CurrentIndex, 0u);
    EXPECT_EQ(cacheKeys(re), (std::vector<std::string>{"", "abc"}));
    re.SetRegExp("abc");
    EXPECT_EQ(re.GetSimpleRegExp(), "abc");
}

TEST(RegularExpression, PreprocessorErrorKeepsTheCurrentExpression) {
    TRegularExpression re;
    re.ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
    re.SetUseFuzzyCharDic(true);
    re.SetRegExp("x");
    EXPECT_THROW(re.SetRegExp("[x"), ERegExpParser);
    EXPECT_EQ(re.RegExp(), "x");
    EXPECT_EQ(re.GetProcessedRegExp(), "(\x82\x77|\x82\x98|X|x)");
}

TEST(RegularExpression, SwitchingTheDictionaryRecompilesTheCurrentExpression) {
    TRegularExpression re;
    re.ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
    re.SetRegExp("ab");
    EXPECT_EQ(re.GetProcessedRegExp(), "ab");
    re.SetUseFuzzyCharDic(true);
    EXPECT_TRUE(re.UseFuzzyCharDic());
    EXPECT_EQ(re.RegExp(), "ab");
    EXPECT_EQ(re.GetProcessedRegExp(), "(\x82\x60|\x82\x81|A|a)(\x82\x61|\x82\x82|B|b)");
    re.SetUseFuzzyCharDic(false);
    EXPECT_EQ(re.GetProcessedRegExp(), "ab");
}

TEST(RegularExpression, SynonymSwitch) {
    const REDictionary synonyms = {{"car", "auto"}};
    TRegularExpression re;
    re.ListOfSynonymDic().push_back(&synonyms);
    re.SetRegExp("car");
    re.SetUseSynonymDic(true);
    EXPECT_EQ(re.GetProcessedRegExp(), "(car|auto)");
}

TEST(RegularExpression, MarkerCodesComeFromTheObject) {
    TRegularExpression plain;
    plain.SetRegExp("^a");
    EXPECT_EQ(plain.GetpInitialDFAState()->Next.front().CharClass.StartChar, 0xFFFD);
    LFExpression lf;
    lf.SetRegExp("^a");
    EXPECT_EQ(lf.GetpInitialDFAState()->Next.front().CharClass.StartChar, 10);
    EXPECT_TRUE(lf.GetHasLHead());
    EXPECT_FALSE(lf.GetHasLTail());
}

TEST(RegularExpression, NextDFAState) {
    TRegularExpression re;
    re.SetRegExp("[b-d]x|[m-n]y");
    const RE_DFAState_t* s = re.GetpInitialDFAState();
    EXPECT_EQ(TRegularExpression::NextDFAState(s, 'a'), nullptr);  // below the first range
    EXPECT_EQ(TRegularExpression::NextDFAState(s, 'z'), nullptr);  // above every range
    EXPECT_EQ(TRegularExpression::NextDFAState(s, 'e'), nullptr);  // between ranges
    const RE_DFAState_t* d = TRegularExpression::NextDFAState(s, 'd');
    ASSERT_NE(d, nullptr);
    const RE_DFAState_t* end = TRegularExpression::NextDFAState(d, 'x');
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(end->Accepted);
    EXPECT_EQ(TRegularExpression::NextDFAState(end, 'x'), nullptr);  // no transitions
}

}  // namespace
}  // namespace zb
