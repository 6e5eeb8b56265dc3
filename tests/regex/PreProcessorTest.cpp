// Dictionary expansion before parsing, and the built-in fuzzy-character dictionary.

#include "regex/TREPreProcessor.h"

#include <gtest/gtest.h>

#include "RegexTestUtil.h"
#include "common/Cp932.h"
#include "regex/REDictionary.h"

namespace zb {
namespace {

std::string sj(const char* utf8) {
    return Utf8ToCp932(utf8);
}

std::string fuzzy(const std::string& expr) {
    TREPreProcessor p(expr);
    p.ListOfFuzzyCharDic.push_back(&RE_FuzzyCharDic());
    p.UseFuzzyCharDic = true;
    p.Run();
    return p.ProcessedRegExpStr;
}

TEST(FuzzyCharDic, Has145GroupsInOrder) {
    const REDictionary& d = RE_FuzzyCharDic();
    ASSERT_EQ(d.size(), 145u);
    EXPECT_EQ(d[0], (REDicGroup{"\x82\x60", "\x82\x81", "A", "a"}));  // Ａ ａ A a
    EXPECT_EQ(d[25], (REDicGroup{"\x82\x79", "\x82\x9a", "Z", "z"}));
    EXPECT_EQ(d[27], (REDicGroup{"1", "\x82\x50", "\x88\xea", "\x87\x40", "\x87\x54", "\x88\xeb"}));
    EXPECT_EQ(d[36], (REDicGroup{"\x81\x40", " "}));  // full-width space, space
    EXPECT_EQ(d[38], (REDicGroup{"\"", "\x81\x68"}));
    EXPECT_EQ(d[49], (REDicGroup{"-", "\x81\x5b", "\x81\x7c", "\x81\x60", "\xb0"}));
    EXPECT_EQ(d[60], (REDicGroup{"\\", "\x81\x8f"}));
    EXPECT_EQ(d[65], (REDicGroup{"|", "\x81\x62"}));
    EXPECT_EQ(d[68], (REDicGroup{",", "\xa4", "\x81\x41", "\x81\x43"}));
    EXPECT_EQ(d[69], (REDicGroup{"\xa1", ".", "\x81\x42", "\x81\x44"}));
    EXPECT_EQ(d[73], (REDicGroup{sj("が"), sj("ガ"), "\xb6\xde", sj("か゛"), sj("カ゛")}));
    EXPECT_EQ(d[86].size(), 9u);
    EXPECT_EQ(d[86][5], sj("ヴァ"));
    EXPECT_EQ(d[86][8], "\xb3\xde\xa7");  // ｳﾞｧ: three single bytes
    EXPECT_EQ(d[139], (REDicGroup{sj("わ"), sj("ワ"), "\xdc", sj("うぁ"), sj("ウァ"), "\xb3\xa7"}));
    EXPECT_EQ(d[144], (REDicGroup{"\xdf", "\x81\x4b"}));  // ﾟ ゜
}

TEST(FuzzyCharDic, EveryGroupHasAtLeastTwoNonEmptyMembers) {
    for (const REDicGroup& g : RE_FuzzyCharDic()) {
        EXPECT_GE(g.size(), 2u);
        for (const std::string& m : g)
            EXPECT_FALSE(m.empty());
    }
}

TEST(CommaText, QuotesBlanksAndCommas) {
    EXPECT_EQ(ParseCommaText("a,b , c"), (REDicGroup{"a", "b", "c"}));
    EXPECT_EQ(ParseCommaText("\" \",\",\",\"\"\"\""), (REDicGroup{" ", ",", "\""}));
    EXPECT_EQ(ParseCommaText("x y"), (REDicGroup{"x", "y"}));
    EXPECT_EQ(ParseCommaText(""), REDicGroup{});
}

TEST(PreProcessor, BothSwitchesOffLeaveTheExpressionUnchanged) {
    TREPreProcessor p("ab[c-d]\\x41(e|f)*");
    p.ListOfFuzzyCharDic.push_back(&RE_FuzzyCharDic());
    p.Run();
    EXPECT_EQ(p.ProcessedRegExpStr, "ab[c-d]\\x41(e|f)*");
}

TEST(PreProcessor, FuzzyExpandsPlainCharacters) {
    EXPECT_EQ(fuzzy("ab"), "(\x82\x60|\x82\x81|A|a)(\x82\x61|\x82\x82|B|b)");
    EXPECT_EQ(fuzzy("a*"), "(\x82\x60|\x82\x81|A|a)*");
    EXPECT_EQ(fuzzy("\\."), "(\xa1|\\.|\x81\x42|\x81\x44)");
    EXPECT_EQ(fuzzy("\\x41"), fuzzy("A"));
}

TEST(PreProcessor, FuzzyLeavesClassesOperatorsAndUnknownCharactersAlone) {
    EXPECT_EQ(fuzzy("[ab]"), "[ab]");
    EXPECT_EQ(fuzzy("[^ab]"), "[^ab]");
    EXPECT_EQ(fuzzy("[a-z]"), "[a-z]");
    EXPECT_EQ(fuzzy("\\x7f"), "\\x7f");
    EXPECT_EQ(fuzzy("(^|$)"), "(^|$)");
}

TEST(PreProcessor, FirstMatchingGroupWinsNotTheLongest) {
    const std::string group86 = "(" + sj("ば|バ|ﾊﾞ|は゛|ハ゛|ヴァ|う゛ぁ|ウ゛ァ|ｳﾞｧ") + ")";
    const std::string group88 = "(" + sj("ぶ|ブ|ﾌﾞ|ふ゛|フ゛|ヴ|ウ゛|う゛|ｳﾞ") + ")";
    EXPECT_EQ(fuzzy(sj("ヴァ")), group86);  // two tokens consumed in one step
    EXPECT_EQ(fuzzy(sj("ヴ")), group88);
    // "う" (group 98) is found before "うぁ" (group 139).
    const std::string u = "(" + sj("う|ウ|ｳ|ぅ|ゥ|ｩ") + ")";
    const std::string a = "(" + sj("あ|ア|ｱ|ぁ|ァ|ｧ") + ")";
    EXPECT_EQ(fuzzy(sj("うぁ")), u + a);
}

TEST(PreProcessor, MetacharactersInsideGroupsAreQuoted) {
    EXPECT_EQ(fuzzy("\\|"), "(\\||\x81\x62)");
    EXPECT_EQ(fuzzy("\\\\"), "(\\\\|\x81\x8f)");
}

TEST(PreProcessor, SynonymsFirstThenFuzzyOverTheResult) {
    const REDictionary synonyms = {{"car", "auto"}};
    TREPreProcessor p("car|x");
    p.ListOfSynonymDic.push_back(&synonyms);
    p.UseSynonymDic = true;
    p.Run();
    EXPECT_EQ(p.ProcessedRegExpStr, "(car|auto)|x");

    const REDictionary small = {{"a", "A"}, {"c", "C"}};
    p.SetTargetRegExpStr("car");
    p.ListOfFuzzyCharDic.push_back(&small);
    p.UseFuzzyCharDic = true;
    p.Run();
    EXPECT_EQ(p.ProcessedRegExpStr, "((c|C)(a|A)r|(a|A)uto)");
}

TEST(PreProcessor, SynonymNeverCrossesAnOperator) {
    const REDictionary synonyms = {{"ab", "xy"}};
    TREPreProcessor p("a(b)ab");
    p.ListOfSynonymDic.push_back(&synonyms);
    p.UseSynonymDic = true;
    p.Run();
    EXPECT_EQ(p.ProcessedRegExpStr, "a(b)(ab|xy)");
}

TEST(PreProcessor, EntriesOfNoCharactersNeverMatch) {
    const REDictionary odd = {{std::string("\0x", 2), "q"}, {"", "z"}};
    TREPreProcessor p("ab");
    p.ListOfFuzzyCharDic.push_back(&odd);
    p.UseFuzzyCharDic = true;
    p.Run();
    EXPECT_EQ(p.ProcessedRegExpStr, "ab");
}

TEST(PreProcessor, ScannerErrorsPassOut) {
    TREPreProcessor p("[ab");
    p.ListOfFuzzyCharDic.push_back(&RE_FuzzyCharDic());
    p.UseFuzzyCharDic = true;
    const ERegExpParser e = test::parserError([&] { p.Run(); });
    EXPECT_EQ(e.Message, "右ブラケット\"]\"が必要です");
}

}  // namespace
}  // namespace zb
