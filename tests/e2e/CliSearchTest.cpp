#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "DebianServers.h"
#include "E2eSupport.h"
#include "ServiceProcess.h"
#include "common/Cp932.h"

namespace zb::test {
namespace {

constexpr int kSmallCorpus = 300;  // "image" with the filter off: 15 pages

std::string Service(const ServiceProcess& service) {
    return "127.0.0.1:" + std::to_string(service.Port());
}

// The list file as the window's "Save URLs" writes it.
std::string SavedList(const std::vector<std::string>& addresses) {
    std::string text = "\r\n";
    for (const std::string& a : addresses)
        text += a + "\r\n";
    return text;
}

// One run against a fresh service: the first request line the service logged.
std::string FirstRequestOf(const std::vector<std::string>& args) {
    ServiceProcess service({"--images", "100"});
    IsolatedCli cli;
    std::vector<std::string> all = {"--service", Service(service)};
    all.insert(all.end(), args.begin(), args.end());
    const ProgramRun run = cli.Run(all);
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    const std::vector<std::string> log = service.WaitForLog(1);
    return log.empty() ? "" : log[0];
}

TEST(CliQuery, KeywordsAndOptionsAsTheServiceReceivesThem) {
    const std::string tail = "&num=20&start=0&hl=ja&imgsafe=on 200";
    EXPECT_EQ(FirstRequestOf({"--and", "a  b"}), "GET /images?q=a++b" + tail);
    EXPECT_EQ(FirstRequestOf({"--and", "a", "--not", "  "}), "GET /images?q=a+-+-+-" + tail);
    EXPECT_EQ(FirstRequestOf({"--and", "a", "--not", ""}), "GET /images?q=a" + tail);
    EXPECT_EQ(FirstRequestOf({"--and", "a", "--adult-filter", "off", "--japanese"}),
              "GET /images?q=a&num=20&start=0&hl=ja&imgsafe=off&lr=lang_ja 200");
    // Bytes that would cut the query go out escaped.
    EXPECT_EQ(FirstRequestOf({"--and", "R&D #1", "--not", "100%"}),
              "GET /images?q=R%26D+%231+-100%25" + tail);
    // Double-byte words travel as CP932 bytes, unescaped.
    EXPECT_EQ(FirstRequestOf({"--and", "猫 表"}), "GET /images?q=" + Utf8ToCp932("猫+表") + tail);
}

// A "+" typed in a word is part of the word, not a blank: excluding "red+" excludes nothing,
// where excluding "red" would.
TEST(CliQuery, PlusInAWordIsSearchedAsTyped) {
    ServiceProcess service({"--images", "100"});
    IsolatedCli cli;
    const ProgramRun run = cli.Run({"--service", Service(service), "--and", "image", "--not",
                                    "red+", "--adult-filter", "off"});
    const std::vector<std::string> expected =
        ExpectedAddresses(service.Port(), "q=image+-red%2B&imgsafe=off", 100);
    ASSERT_NE(expected, ExpectedAddresses(service.Port(), "q=image+-red&imgsafe=off", 100));
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out), expected);
    const std::vector<std::string> log = service.WaitForLog(1);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "GET /images?q=image+-red%2B&num=20&start=0&hl=ja&imgsafe=off 200");
}

TEST(CliSearch, ListsEveryPageTheCorpusHolds) {
    ServiceProcess service({"--images", std::to_string(kSmallCorpus)});
    IsolatedCli cli;
    const std::string list = (cli.Folder() / "list.txt").string();
    const ProgramRun run = cli.Run(
        {"--service", Service(service), "--and", "image", "--adult-filter", "off", "-o", list});
    const std::vector<std::string> expected =
        ExpectedAddresses(service.Port(), "q=image&imgsafe=off", kSmallCorpus);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kSmallCorpus));
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out), expected);
    EXPECT_EQ(ReadBytes(list), SavedList(expected));

    // Offsets 0, 20, 40, ... with the rest of the address unchanged; one request a page.
    const std::vector<std::string> log = service.WaitForLog(15);
    ASSERT_EQ(log.size(), 15u);
    const std::vector<std::string> err = Lines(run.Err);
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string target =
            "/images?q=image&num=20&start=" + std::to_string(i * 20) + "&hl=ja&imgsafe=off";
        EXPECT_EQ(log[i], "GET " + target + " 200");
        EXPECT_EQ(err.at(i),
                  "page " + std::to_string(i + 1) + ": http://" + Service(service) + target);
    }
    EXPECT_EQ(err.back(), "session ended: no further page (15 pages, 300 addresses)");
    // The page file beside the executable holds the last page, which has no next-page marker.
    const std::string page = ReadBytes(cli.PageFile());
    EXPECT_NE(page.find(expected.back().substr(expected.back().find("/images"))),
              std::string::npos);
    EXPECT_EQ(page.find("nav_next.gif"), std::string::npos);
}

// Two harvesters started at once from one folder, each with 100-odd pages from a service that
// pauses before every answer, so that the two sessions overlap for most of their pages: each
// lists exactly its own search, and only the shared page file (with its lock) stays behind.
TEST(CliSearch, TwoAtOnceFromOneFolderKeepTheirPagesApart) {
    struct Search {
        std::vector<std::string> Words;
        std::string Query;
    };
    const std::vector<Search> searches = {
        {{"--and", "image"}, "q=image&imgsafe=off"},
        {{"--and", "image", "--not", "blue"}, "q=image+-blue&imgsafe=off"}};
    constexpr int kCorpus = 3000;
    std::vector<std::unique_ptr<ServiceProcess>> services;
    for (std::size_t i = 0; i < searches.size(); ++i) {
        services.push_back(std::make_unique<ServiceProcess>(
            std::vector<std::string>{"--images", std::to_string(kCorpus), "--delay", "1"}));
    }
    IsolatedCli cli;
    std::vector<std::future<ProgramRun>> runs;
    for (std::size_t i = 0; i < searches.size(); ++i) {
        std::vector<std::string> args = {"--service", Service(*services[i]), "--adult-filter",
                                         "off"};
        args.insert(args.end(), searches[i].Words.begin(), searches[i].Words.end());
        runs.push_back(std::async(std::launch::async, [&cli, args] { return cli.Run(args); }));
    }
    for (std::size_t i = 0; i < searches.size(); ++i) {
        const ProgramRun run = runs[i].get();
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        EXPECT_EQ(Lines(run.Out),
                  ExpectedAddresses(services[i]->Port(), searches[i].Query, kCorpus))
            << searches[i].Query;
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(cli.Folder()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"tmp.htm", "tmp.htm.lock", "zunbarra-cli"}));
}

TEST(CliSearch, JapaneseWordsAndFiltersMatchTheCorpus) {
    ServiceProcess service;
    IsolatedCli cli;
    const ProgramRun run =
        cli.Run({"--service", Service(service), "--and", "猫 画像", "--not", "赤", "--japanese"});
    const std::vector<std::string> expected = ExpectedAddresses(
        service.Port(), "q=" + Utf8ToCp932("猫+画像+-赤") + "&imgsafe=on&lr=lang_ja", 3000);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out), expected);
}

TEST(CliSearch, ThroughARealProxy) {
    zbtest::TinyProxy proxy;
    if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
    ServiceProcess service({"--images", "100"});
    IsolatedCli cli;
    const ProgramRun run =
        cli.Run({"--service", Service(service), "--and", "image", "--adult-filter", "off",
                 "--proxy", "127.0.0.1:" + std::to_string(proxy.Port())});
    const std::vector<std::string> expected =
        ExpectedAddresses(service.Port(), "q=image&imgsafe=off", 100);
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out), expected);
    service.WaitForLog(5);
    // Every page went to the proxy in proxy form.
    const std::string log = ReadBytes(proxy.Dir() + "/tinyproxy.log");
    for (int start = 0; start < 100; start += 20) {
        const std::string url =
            "http://" + Service(service) + "/images?q=image&num=20&start=" + std::to_string(start);
        EXPECT_NE(log.find(url), std::string::npos) << url << "\n" << log;
    }
}

TEST(CliSearch, ProxyPortThatIsNotAnIntegerFetchesNothing) {
    IsolatedCli cli;
    const ProgramRun run =
        cli.Run({"--service", "127.0.0.1:1", "--and", "image", "--proxy", "127.0.0.1:80a"});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Err, "zunbarra-cli: '80a' は整数ではありません\n");
    EXPECT_EQ(run.Out, "");
}

TEST(CliSearch, CommandLineErrors) {
    IsolatedCli cli;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--not", "x"},
        {"--and", ""},
        {"--and", "x", "--service", "host:0"},
        {"--and", "x", "--service", "host:http"},
        {"--and", "x", "--service", ":80"},
        {"--and", "x", "--adult-filter", "maybe"},
        {"--and", "x", "--proxy", "nohost"},
        {"--and", "\xff\xfe"},  // not UTF-8
        {"--and", "x", "--frobnicate"},
        {"--and"},
    };
    for (const auto& args : bad) {
        const ProgramRun run = cli.Run(args);
        EXPECT_EQ(run.ExitStatus, 2) << args.size();
        EXPECT_NE(run.Err.find("usage: zunbarra-cli"), std::string::npos) << run.Err;
        EXPECT_EQ(run.Out, "");
    }
    const ProgramRun help = cli.Run({"--help"});
    EXPECT_EQ(help.ExitStatus, 0);
    EXPECT_NE(help.Out.find("--adult-filter on|off"), std::string::npos);
}

TEST(CliSearch, ListFileThatCannotBeCreated) {
    IsolatedCli cli;
    const std::string list = (cli.Folder() / "missing" / "list.txt").string();
    const ProgramRun run = cli.Run({"--service", "127.0.0.1:1", "--and", "x", "-o", list});
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_NE(run.Err.find("ファイル " + list + " を作成できません"), std::string::npos) << run.Err;
    // Nothing was fetched.
    EXPECT_EQ(run.Err.find("page 1:"), std::string::npos);
}

// The built-in profile written out lists what the built-in one does (--service replaces the
// sample's host); a profile with an unknown key warns, a refused one fetches nothing.
TEST(CliProfile, SampleFileWarningsAndRefusals) {
    ServiceProcess service({"--images", "100"});
    IsolatedCli cli;
    const std::string sample = ZB_SOURCE_DIR "/data/profiles/zunbarra-service.ini";
    const std::vector<std::string> search = {
        "--service", Service(service), "--and", "image", "--adult-filter", "off", "--profile"};
    const auto withProfile = [&](const std::string& file) {
        std::vector<std::string> args = search;
        args.push_back(file);
        return cli.Run(args);
    };
    const ProgramRun run = withProfile(sample);
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out), ExpectedAddresses(service.Port(), "q=image&imgsafe=off", 100));

    const std::string text = ReadBytes(sample);
    const std::string extra = (cli.Folder() / "extra.ini").string();
    std::ofstream(extra) << text << "Colour=blue\n";
    const ProgramRun warned = withProfile(extra);
    EXPECT_EQ(warned.ExitStatus, 0) << warned.Err;
    EXPECT_EQ(Lines(warned.Err).at(0), "zunbarra-cli: warning: unknown key Scan/Colour (ignored)");

    ServiceProcess unused({"--images", "100"});
    const std::string bad = (cli.Folder() / "bad.ini").string();
    std::string noOffset = text;
    noOffset.replace(noOffset.find("&start={offset}"), 15, "");
    std::ofstream(bad) << noOffset;
    const ProgramRun refused =
        cli.Run({"--service", Service(unused), "--and", "image", "--profile", bad});
    EXPECT_EQ(refused.ExitStatus, 2);
    EXPECT_EQ(refused.Err, "zunbarra-cli: " + bad +
                               ": Query/Template lacks {offset}: every page would be the first\n");
    unused.Stop();
    EXPECT_TRUE(unused.WaitForLog(1).empty());
}

}  // namespace
}  // namespace zb::test
