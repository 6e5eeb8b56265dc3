// Writing the saved list: exact bytes under exactly the chosen name, and failures that leave an
// existing file as it was and no temporary file behind.

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "WindowFixture.h"
#include "app/ListFile.h"
#include "common/Exception.h"

namespace zb::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The message the standard error report shows, or "" when nothing was raised.
std::string FailureOf(const QString& name, const std::string& bytes) {
    try {
        WriteListFile(name, bytes);
    } catch (const EInOutError& e) {
        return e.what();
    }
    return "";
}

TEST(ListFile, WritesTheBytesUnderExactlyTheChosenName) {
    TempFolder folder;
    const std::string bytes = "\r\nhttp://h/\x82\xA0\r\n";
    WriteListFile(folder.File("list"), bytes);
    EXPECT_EQ(ReadBytes(folder.Path() / "list"), bytes);
    // An existing file is replaced without asking, keeping its permissions.
    WriteBytes(folder.Path() / "list", std::string(5000, 'x'));
    fs::permissions(folder.Path() / "list", fs::perms(0640));
    WriteListFile(folder.File("list"), "\r\n");
    EXPECT_EQ(ReadBytes(folder.Path() / "list"), "\r\n");
    EXPECT_EQ(fs::status(folder.Path() / "list").permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"list"});
}

TEST(ListFile, AFileThatCannotBeCreatedIsReported) {
    TempFolder folder;
    const QString missing = folder.File("no-such-folder/list.txt");
    EXPECT_EQ(FailureOf(missing, "\r\n"),
              "ファイル " + missing.toStdString() + " を作成できません");
    EXPECT_FALSE(fs::exists(folder.Path() / "no-such-folder"));
    // A folder of that name stays a folder with its contents.
    fs::create_directory(folder.Path() / "taken");
    WriteBytes(folder.Path() / "taken" / "inside", "keep");
    EXPECT_NE(FailureOf(folder.File("taken"), "\r\n"), "");
    EXPECT_EQ(ReadBytes(folder.Path() / "taken" / "inside"), "keep");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"taken"});
}

// The file size limit makes the write fail part-way, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int);
};

TEST(ListFile, AWriteThatFailsPartWayLeavesTheOldFileAsItWas) {
    TempFolder folder;
    const std::string old = "\r\nhttp://h/old\r\n";
    WriteBytes(folder.Path() / "list.txt", old);
    std::string message;
    {
        const FileSizeLimit limit(4096);
        message = FailureOf(folder.File("list.txt"), std::string(1 << 20, 'x'));
    }
    EXPECT_EQ(message, "ファイル " + folder.File("list.txt").toStdString() + " を作成できません");
    EXPECT_EQ(ReadBytes(folder.Path() / "list.txt"), old);
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"list.txt"});
}

}  // namespace
}  // namespace zb::test
