// Search profiles: the words in query form, profile files read and refused.

#include "app/SearchProfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace zb {
namespace {

TEST(SearchProfile, WordsInQueryForm) {
    TAWKStr awk;
    const SearchProfile builtIn = BuiltInProfile();
    EXPECT_EQ(ComposeAndWords(builtIn, "a b&c", awk), "a+b%26c");
    EXPECT_EQ(ComposeNotWords(builtIn, "c d", awk), "+-c+-d");
    EXPECT_EQ(ComposeNotWords(builtIn, "", awk), "");

    SearchProfile other;
    other.Encoding = "utf-8";
    other.WordSeparator = "&\\";  // stands for itself, not for the matched blank
    other.NotSeparator = " ";
    other.NotPrefix = "NOT ";
    // 犬 is 0x8C 0xA2 in CP932, E7 8A AC in UTF-8.
    EXPECT_EQ(ComposeAndWords(other, "\x8C\xA2 a~", awk), "%E7%8A%AC&\\a~");
    EXPECT_EQ(ComposeNotWords(other, "x y", awk), " NOT x NOT y");
}

TEST(SearchProfile, PlaceholdersAreFilledInOnePass) {
    EXPECT_EQ(FillPlaceholders("{base}/q={words}&s={offset}{x}{",
                               {{"base", "http://h"}, {"words", "{offset}"}, {"offset", "40"}}),
              "http://h/q={offset}&s=40{x}{");
}

class ProfileFile : public ::testing::Test {
protected:
    std::string Write(const std::string& text) {
        const std::string path = dir_.filePath("p.ini").toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QTemporaryDir dir_;
};

const char* const kGood =
    "[Profile]\nName=Second layout\n"
    "[Service]\nBase=https://img.example:8443/\n"
    "[Query]\nTemplate=\"{base}/search?q={words}{not}&from={offset}&n={size}{adult}\"\n"
    "Encoding=utf-8\n"
    "[Pages]\nSize=30\nFirstOffset=1\n"
    "[Scan]\nImageLine=data-src=\nCut1=\"data-src=\\\"\"\nField1=2\nCut2=\\\"\nNextPage=\"rel="
    "\\\"next\\\"\"\n"
    "Colour=blue\n";

TEST_F(ProfileFile, AGoodFileIsRead) {
    std::vector<std::string> warnings;
    const SearchProfile p = LoadSearchProfile(Write(kGood), warnings);
    EXPECT_EQ(p.Name, "Second layout");
    EXPECT_EQ(p.Base, "https://img.example:8443");
    EXPECT_EQ(p.Template, "{base}/search?q={words}{not}&from={offset}&n={size}{adult}");
    EXPECT_EQ(p.PageSize, 30);
    EXPECT_EQ(p.FirstOffset, 1);
    ASSERT_EQ(p.Cuts.size(), 2u);
    EXPECT_EQ(p.Cuts[0].Split, "data-src=\"");
    EXPECT_EQ(p.Cuts[0].Field, 2);
    EXPECT_EQ(p.Cuts[1].Split, "\"");
    EXPECT_EQ(p.Cuts[1].Field, 1);
    EXPECT_EQ(p.AdultOn, "&imgsafe=on");  // not given: the built-in value
    EXPECT_EQ(warnings, std::vector<std::string>{"unknown key Scan/Colour (ignored)"});
}

// The sample of the built-in profile says exactly what the built-in one does.
TEST(SearchProfile, TheBuiltInSampleFileIsTheBuiltInProfile) {
    std::vector<std::string> warnings;
    const SearchProfile sample =
        LoadSearchProfile(ZB_SOURCE_DIR "/data/profiles/zunbarra-service.ini", warnings);
    EXPECT_TRUE(warnings.empty());
    SearchProfile expected = BuiltInProfile();
    expected.Name = "zunbarra-service";
    expected.Base = "http://127.0.0.1:8930";
    const auto fields = [](const SearchProfile& p) {
        std::vector<std::string> f = {p.Name,
                                      p.Base,
                                      p.Template,
                                      p.WordSeparator,
                                      p.NotSeparator,
                                      p.NotPrefix,
                                      p.Encoding,
                                      p.AdultOn,
                                      p.AdultOff,
                                      p.LanguageOn,
                                      p.LanguageOff,
                                      p.ImageLine,
                                      p.AddressPrefix,
                                      p.NextPage,
                                      std::to_string(p.PageSize),
                                      std::to_string(p.FirstOffset)};
        for (const ProfileCut& c : p.Cuts)
            f.push_back(c.Split + "|" + std::to_string(c.Field));
        return f;
    };
    EXPECT_EQ(fields(sample), fields(expected));
}

TEST_F(ProfileFile, BadFilesAreRefusedNamingTheKey) {
    const std::string base =
        "[Service]\nBase=http://h\n[Scan]\nImageLine=src\nCut1=x\nNextPage=n\n";
    const std::string query = "[Query]\nTemplate=\"/q?s={offset}\"\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {base, "missing key Query/Template"},
        {query + "[Scan]\nImageLine=src\nCut1=x\nNextPage=n\n", "missing key Service/Base"},
        {base + "[Query]\nTemplate=/q\n", "Query/Template lacks {offset}"},
        {base + query + "[Pages]\nSize=0\n", "Pages/Size: 0 is below 1"},
        {base + query + "[Pages]\nSize=many\n", "Pages/Size: \"many\" is not a whole number"},
        {"[Service]\nBase=ftp://h\n" + query, "Service/Base must begin with http:// or https://"},
        {"[Service]\nBase=http://h\n" + query + "[Scan]\nImageLine=(src\nCut1=x\nNextPage=n\n",
         "Scan/ImageLine: 右(閉じ)括弧が必要です (at position 5)"},
        {"[Service]\nBase=http://h\n" + query + "[Scan]\nImageLine=src\nCut2=x\nNextPage=n\n",
         "Scan/Cut2 follows a missing Scan/Cut1"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> warnings;
        try {
            LoadSearchProfile(Write(c.text), warnings);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const EProfileError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << e.what() << "\nexpected: " << c.message;
        }
    }
    std::vector<std::string> warnings;
    EXPECT_THROW(LoadSearchProfile(dir_.filePath("missing.ini").toStdString(), warnings),
                 EProfileError);
}

}  // namespace
}  // namespace zb
