#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "SessionFakes.h"
#include "app/PageFile.h"

namespace zb::test {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(PageFile, WritableExecutableFolderHoldsThePage) {
    TempFolder folder;
    EXPECT_TRUE(FolderWritable(folder.Path()));
    EXPECT_EQ(ChoosePageFile(folder.Path()), folder.Path() / "tmp.htm");
    // The probe leaves nothing behind.
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(PageFile, UnwritableFolderFallsBackToTheCacheFolder) {
    TempFolder folder;
    const ScopedEnv xdg("XDG_CACHE_HOME", (folder.Path() / "cache").string());
    // Not even root can create files in /proc; a missing folder is not writable either.
    for (const fs::path& exe : {fs::path("/proc"), folder.Path() / "missing", fs::path()}) {
        EXPECT_FALSE(FolderWritable(exe)) << exe;
        const fs::path page = ChoosePageFile(exe);
        EXPECT_EQ(page, folder.Path() / "cache" / "zunbarra" / "tmp.htm") << exe;
        EXPECT_TRUE(fs::is_directory(page.parent_path()));
    }
}

TEST(PageFile, CacheFolderIsUnderHomeWithoutAnAbsoluteXdgPath) {
    TempFolder folder;
    const ScopedEnv home("HOME", folder.Path().string());
    for (const std::optional<std::string>& xdg :
         {std::optional<std::string>(), std::optional<std::string>("relative/cache"),
          std::optional<std::string>("")}) {
        const ScopedEnv setXdg("XDG_CACHE_HOME", xdg);
        EXPECT_EQ(CacheFolder(), folder.Path() / ".cache" / "zunbarra");
    }
}

// Sessions that run at the same time: the first holds tmp.htm, the others get files of their
// own, which go when they end; tmp.htm stays and is free again once its holder ends.
TEST(PageFile, ConcurrentClaimsGetFilesOfTheirOwn) {
    TempFolder folder;
    const fs::path shared = folder.Path() / "tmp.htm";
    const std::string pid = std::to_string(::getpid());
    const fs::path second = folder.Path() / ("tmp-" + pid + ".htm");
    const fs::path third = folder.Path() / ("tmp-" + pid + "-2.htm");
    {
        const PageFileClaim first(shared);
        EXPECT_TRUE(first.Shared());
        EXPECT_EQ(first.Path(), shared);
        {
            const PageFileClaim other(shared);
            const PageFileClaim another(shared);
            EXPECT_FALSE(other.Shared());
            EXPECT_EQ(other.Path(), second);
            EXPECT_EQ(another.Path(), third);
            for (const fs::path& p : {shared, second, third})
                std::ofstream(p) << "page";
        }
        EXPECT_FALSE(fs::exists(second));
        EXPECT_FALSE(fs::exists(third));
        // Freed names are given out again.
        const PageFileClaim later(shared);
        EXPECT_EQ(later.Path(), second);
    }
    EXPECT_TRUE(fs::exists(shared));
    const PageFileClaim again(shared);
    EXPECT_TRUE(again.Shared());
    EXPECT_EQ(again.Path(), shared);
}

}  // namespace
}  // namespace zb::test
