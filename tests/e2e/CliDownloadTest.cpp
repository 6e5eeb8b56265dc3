#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "ScriptedServer.h"
#include "ServiceProcess.h"

namespace zb::test {
namespace {

namespace fs = std::filesystem;
using zbtest::ScriptedServer;

constexpr int kCorpus = 40;  // "image" with the filter off: 2 pages

std::string Service(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

std::vector<std::string> SearchArgs(int port, std::vector<std::string> more) {
    std::vector<std::string> args = {"--service", Service(port),    "--and",
                                     "image",     "--adult-filter", "off"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::string LastLine(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return lines.empty() ? "" : lines.back();
}

std::string IdOf(const std::string& address) {
    return address.substr(address.find("tbn:") + 4);
}

std::vector<std::string> FilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Thumbnail requests the service logged.
std::size_t ThumbnailRequests(const std::vector<std::string>& log) {
    return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [](const auto& line) {
        return line.find("q=tbn:") != std::string::npos;
    }));
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// A page as the scripted server sends it: the image links, the marker when `more`.
std::string Page(const std::vector<std::string>& thumbs, bool more) {
    std::string body = "<html><body>\r\n";
    for (const std::string& t : thumbs)
        body += "<a href=/imgres?imgurl=x><img src=" + t + " width=120 height=90></a>\r\n";
    if (more) body += "<a href=/images?q=x&start=20><img src=/images/nav_next.gif></a>\r\n";
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body + "</body></html>\r\n";
}

TEST(CliDownload, EveryThumbnailSavedUnderItsIdWithTheManifest) {
    ServiceProcess service({"--images", std::to_string(kCorpus)});
    IsolatedCli cli;
    const fs::path dir = cli.Folder() / "new" / "thumbs";
    const fs::path manifest = cli.Folder() / "manifest.jsonl";
    const ProgramRun run = cli.Run(SearchArgs(
        service.Port(), {"--download", dir.string(), "--jobs", "3", "--manifest", manifest}));
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    const std::vector<std::string> expected =
        ExpectedAddresses(service.Port(), "q=image&imgsafe=off", kCorpus);
    EXPECT_EQ(Lines(run.Out), expected);
    std::vector<std::string> names;
    for (const std::string& a : expected)
        names.push_back(IdOf(a) + ".png");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FilesIn(dir), names);  // no temporary file left
    const std::string first = expected[0];
    const ParsedReply thumb = Get(service.Port(), first.substr(first.find("/images")));
    const std::string saved = ReadBytes(dir / (IdOf(first) + ".png"));
    EXPECT_EQ(saved, thumb.Body);
    const std::vector<std::string> lines = Lines(ReadBytes(manifest));
    EXPECT_EQ(lines.size(), expected.size());
    const std::string line = "{\"address\":\"" + first + "\",\"page\":1,\"file\":\"" +
                             (dir / (IdOf(first) + ".png")).string() +
                             "\",\"bytes\":" + std::to_string(saved.size()) + ",\"sha256\":\"" +
                             Sha256(saved) + "\",\"status\":200,\"error\":null}";
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << lines[0];
    std::uintmax_t bytes = 0;
    for (const std::string& name : names)
        bytes += fs::file_size(dir / name);
    EXPECT_EQ(LastLine(run.Err), "downloads: 40 files saved (" + std::to_string(bytes) +
                                     " bytes), 0 failed, 0 already in the archive");
}

TEST(CliDownload, ArchiveResumesAStoppedRun) {
    ServiceProcess service({"--images", std::to_string(kCorpus)});
    IsolatedCli cli;
    const fs::path dir = cli.Folder() / "d";
    const fs::path archive = cli.Folder() / "archive.txt";
    const std::vector<std::string> expected =
        ExpectedAddresses(service.Port(), "q=image&imgsafe=off", kCorpus);
    // Ten done before, written by another tool: CR LF, a blank line, junk, no last line end.
    std::string before = "# my downloads\r\n\r\n";
    for (int i = 0; i < 10; ++i)
        before += expected[static_cast<std::size_t>(i)] + (i == 9 ? "" : "\r\n");
    WriteFile(archive, before);
    const auto args =
        SearchArgs(service.Port(), {"--download", dir.string(), "--archive", archive});
    const ProgramRun first = cli.Run(args);
    EXPECT_EQ(first.ExitStatus, 0) << first.Err;
    EXPECT_NE(first.Err.find("zunbarra-cli: " + archive.string() +
                             ": 1 line that are no address ignored"),
              std::string::npos)
        << first.Err;
    EXPECT_EQ(ThumbnailRequests(service.WaitForLog(2 + 30)), 30u);
    EXPECT_EQ(FilesIn(dir).size(), 30u);
    EXPECT_EQ(LastLine(first.Err).find("downloads: 30 files saved"), 0u) << first.Err;
    // Every address is in the archive now, one a line.
    std::vector<std::string> listed = Lines(ReadBytes(archive));
    for (std::string& line : listed)
        if (!line.empty() && line.back() == '\r') line.pop_back();
    for (const std::string& a : expected)
        EXPECT_EQ(std::count(listed.begin(), listed.end(), a), 1) << a;

    const ProgramRun second = cli.Run(args);
    EXPECT_EQ(second.ExitStatus, 0) << second.Err;
    EXPECT_EQ(Lines(second.Out), expected);
    EXPECT_EQ(ThumbnailRequests(service.WaitForLog(2 + 30 + 2)), 30u);
    EXPECT_EQ(LastLine(second.Err),
              "downloads: 0 files saved (0 bytes), 0 failed, 40 already in the archive");
}

TEST(CliDownload, BusyAnswersAreRetriedAfterTheirRetryAfter) {
    struct Case {
        std::string on;
        std::vector<std::string> extra;
        std::string told;  // start of the wait line
    };
    const std::vector<Case> cases = {
        {"pages", {}, "zunbarra-cli: HTTP 503, Retry-After 1: waiting 1 s before retry 1 of 2 ("},
        {"thumbnails",
         {"--download", "DIR"},
         "zunbarra-cli: HTTP 503, Retry-After 1: waiting 1 s before retry 1 of 2 (http://"},
    };
    for (const Case& c : cases) {
        ServiceProcess service({"--images", std::to_string(kCorpus), "--status", "503",
                                "--retry-after", "1", "--fault-count", "1", "--fault-on", c.on});
        IsolatedCli cli;
        std::vector<std::string> extra = {"--retries", "2"};
        for (const std::string& e : c.extra)
            extra.push_back(e == "DIR" ? (cli.Folder() / "d").string() : e);
        const ProgramRun run = cli.Run(SearchArgs(service.Port(), extra));
        EXPECT_EQ(run.ExitStatus, 0) << c.on << run.Err;
        EXPECT_EQ(Lines(run.Out).size(), static_cast<std::size_t>(kCorpus)) << c.on;
        EXPECT_NE(run.Err.find(c.told), std::string::npos) << c.on << run.Err;
        if (!c.extra.empty()) {
            EXPECT_EQ(FilesIn(cli.Folder() / "d").size(), 40u);
        }
    }
}

TEST(CliDownload, UniqueListsAndFetchesAnAddressOnce) {
    ScriptedServer server;
    server.Respond(Page({"/images?q=tbn:a", "/images?q=tbn:a"}, false));
    server.Respond("HTTP/1.0 200 OK\r\n\r\nGIF89a-picture");
    IsolatedCli cli;
    const ProgramRun run = cli.Run({"--service", Service(server.Port()), "--and", "x", "--unique",
                                    "--download", (cli.Folder() / "d").string()});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(Lines(run.Out),
              (std::vector<std::string>{"http://" + Service(server.Port()) + "/images?q=tbn:a"}));
    // Qt may open a spare connection that carries no request: count the requests.
    const std::vector<std::string> requests = server.Requests();
    EXPECT_EQ(
        std::count_if(requests.begin(), requests.end(),
                      [](const std::string& r) { return r.rfind("GET /images?q=tbn:a ", 0) == 0; }),
        1);
    EXPECT_EQ(ReadBytes(cli.Folder() / "d" / "a.gif"), "GIF89a-picture");
}

TEST(CliDownload, ThumbnailThatIsNoPictureFailsTheRun) {
    ScriptedServer server;
    server.Respond(Page({"/images?q=tbn:a"}, false));
    server.Respond("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>oops</html>");
    IsolatedCli cli;
    const fs::path manifest = cli.Folder() / "m.jsonl";
    const ProgramRun run =
        cli.Run({"--service", Service(server.Port()), "--and", "x", "--download",
                 (cli.Folder() / "d").string(), "--manifest", manifest.string()});
    const std::string address = "http://" + Service(server.Port()) + "/images?q=tbn:a";
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_NE(run.Err.find("zunbarra-cli: " + address + ": not an image\n"), std::string::npos)
        << run.Err;
    EXPECT_EQ(LastLine(run.Err),
              "downloads: 0 files saved (0 bytes), 1 failed, 0 already in the archive");
    EXPECT_TRUE(FilesIn(cli.Folder() / "d").empty());
    EXPECT_EQ(ReadBytes(manifest), "{\"address\":\"" + address +
                                       "\",\"page\":1,\"file\":null,\"bytes\":null,\"sha256\":"
                                       "null,\"status\":200,\"error\":\"not an image\"}\n");
}

TEST(CliDownload, FolderThatCannotBeMadeStopsBeforeAnyRequest) {
    ServiceProcess service({"--images", std::to_string(kCorpus)});
    IsolatedCli cli;
    WriteFile(cli.Folder() / "plain", "a file");
    const ProgramRun run = cli.Run(
        SearchArgs(service.Port(), {"--download", (cli.Folder() / "plain" / "d").string()}));
    EXPECT_EQ(run.ExitStatus, 2);
    EXPECT_EQ(run.Err.rfind("zunbarra-cli: cannot create folder ", 0), 0u) << run.Err;
    EXPECT_EQ(run.Out, "");
}

// The download folder on a small file system of its own (a private mount, as root): the disk
// fills up after a few files. Reported once, the downloads stop, the search goes on listing,
// what was saved stays, no temporary file is left.
TEST(CliDownload, FullDiskStopsTheDownloadsButNotTheSearch) {
    IsolatedCli cli;
    const fs::path dir = cli.Folder() / "d";
    fs::create_directory(dir);
    const ProgramRun probe = RunProgram(
        "/usr/bin/unshare", {"-m", "sh", "-c", "mount -t tmpfs -o size=40k tmpfs \"$0\"", dir});
    if (probe.ExitStatus != 0) GTEST_SKIP() << "no private tmpfs mount here: " << probe.Err;

    ServiceProcess service({"--images", std::to_string(kCorpus)});
    const fs::path manifest = cli.Folder() / "m.jsonl";
    const fs::path listing = cli.Folder() / "left.txt";
    std::vector<std::string> args = {
        "-m",
        "sh",
        "-c",
        "d=$0 l=$1; shift; mount -t tmpfs -o size=40k tmpfs \"$d\" || exit 99; \"$@\"; "
        "rc=$?; ls -A \"$d\" > \"$l\"; exit $rc",
        dir,
        listing,
        (cli.Folder() / "zunbarra-cli").string()};
    for (const std::string& a : SearchArgs(
             service.Port(), {"--download", dir.string(), "--jobs", "1", "--manifest", manifest}))
        args.push_back(a);
    const ProgramRun run = RunProgram("/usr/bin/unshare", args);
    EXPECT_EQ(run.ExitStatus, 1) << run.Err;
    EXPECT_EQ(Lines(run.Out).size(), static_cast<std::size_t>(kCorpus));
    std::size_t told = 0;
    for (const std::string& line : Lines(run.Err))
        told += line.find("No space left on device): downloads stopped, the search goes on") !=
                std::string::npos;
    EXPECT_EQ(told, 1u) << run.Err;
    const std::vector<std::string> left = Lines(ReadBytes(listing));
    EXPECT_FALSE(left.empty());
    for (const std::string& name : left)
        EXPECT_NE(name[0], '.') << name;
    std::size_t saved = 0;
    const std::vector<std::string> entries = Lines(ReadBytes(manifest));
    for (const std::string& e : entries)
        saved += e.find("\"error\":null") != std::string::npos;
    EXPECT_EQ(saved, left.size());
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(kCorpus));
    EXPECT_EQ(LastLine(run.Err).find("downloads: " + std::to_string(saved) + " files saved"), 0u)
        << run.Err;
}

TEST(CliDownload, EndLineTellsALastPageWithoutImageLinks) {
    ScriptedServer server;
    server.Respond(Page({"/images?q=tbn:a"}, true));
    server.Respond(Page({}, false));
    IsolatedCli cli;
    const ProgramRun run =
        cli.Run({"--service", Service(server.Port()), "--and", "x", "--delay", "1"});
    EXPECT_EQ(run.ExitStatus, 0) << run.Err;
    EXPECT_EQ(LastLine(run.Err),
              "session ended: no further page (last page: 0 image links) (2 pages, 1 address)");
}

}  // namespace
}  // namespace zb::test
