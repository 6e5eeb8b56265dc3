// The sample profile of the service's second page layout against that layout: the session reads
// the same images from it as the built-in profile reads from the first.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "ServiceProcess.h"
#include "SessionFakes.h"
#include "app/SearchProfile.h"
#include "app/SearchSession.h"
#include "common/Cp932.h"

namespace zb::test {
namespace {

const char* const kLayout2Profile = ZB_SOURCE_DIR "/data/profiles/zunbarra-service-layout2.ini";

TEST(Layout2Profile, TheSampleFileLoadsWithoutWarnings) {
    std::vector<std::string> warnings;
    const SearchProfile profile = LoadSearchProfile(kLayout2Profile, warnings);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(profile.Encoding, "utf-8");
    EXPECT_EQ(profile.Cuts.size(), 2u);
}

struct Search {
    std::string And, Not;  // UTF-8
    bool Adult, Japanese;
};

// The addresses a session harvests, without "http://127.0.0.1:PORT"; the request addresses go
// to requests.
std::vector<std::string> Harvest(const ServiceProcess& service, const Search& search,
                                 const SearchProfile* profile, std::vector<std::string>& requests) {
    TempFolder folder;
    FakeFrontEnd front;
    front.And = Utf8ToCp932(search.And);
    front.Not = Utf8ToCp932(search.Not);
    front.Adult = search.Adult;
    front.Japanese = search.Japanese;
    SearchSession session(front);
    const std::string base = "http://127.0.0.1:" + std::to_string(service.Port());
    session.ServiceHost = base.substr(7);
    if (profile != nullptr) {
        session.Profile = *profile;
        session.Profile.Base = base;
    }
    session.PageFile = (folder.Path() / "tmp.htm").string();
    session.ToolbarButtonSearchGetClick();
    EXPECT_EQ(session.LastOutcome().End, SearchEnd::NoNextPage);
    std::vector<std::string> paths;
    for (const std::string& address : front.Addresses) {
        EXPECT_EQ(address.substr(0, base.size()), base);
        paths.push_back(address.substr(base.size()));
    }
    requests = front.Requests;
    return paths;
}

TEST(Layout2Profile, HarvestsWhatTheBuiltInProfileHarvestsFromLayout1) {
    EnsureApp();
    std::vector<std::string> warnings;
    const SearchProfile layout2 = LoadSearchProfile(kLayout2Profile, warnings);
    ServiceProcess classic({"--images", "2000"});
    ServiceProcess modern({"--images", "2000", "--layout", "2"});
    for (const Search& search : {Search{"cat", "", false, false}, Search{"赤", "car", true, true},
                                 Search{"image 猫", "", true, false}}) {
        std::vector<std::string> classicRequests, modernRequests;
        const std::vector<std::string> expected =
            Harvest(classic, search, nullptr, classicRequests);
        const std::vector<std::string> got = Harvest(modern, search, &layout2, modernRequests);
        EXPECT_GT(expected.size(), 40u) << search.And;
        EXPECT_EQ(got, expected) << search.And;
        EXPECT_EQ(modernRequests.size(), classicRequests.size()) << search.And;
        ASSERT_FALSE(modernRequests.empty());
        EXPECT_NE(modernRequests.back().find("/search?q="), std::string::npos);
    }
}

}  // namespace
}  // namespace zb::test
