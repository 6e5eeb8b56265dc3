#include "app/PageFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <system_error>

namespace zb {

namespace fs = std::filesystem;

fs::path ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

bool FolderWritable(const fs::path& folder) {
    if (folder.empty()) return false;
    std::string probe = (folder / ".zunbarra-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

fs::path CacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') return fs::path(xdg) / kCacheFolderName;
    const char* home = std::getenv("HOME");
    std::string homeDir = home != nullptr ? home : "";
    if (homeDir.empty()) {
        const passwd* pw = ::getpwuid(::getuid());
        if (pw != nullptr && pw->pw_dir != nullptr) homeDir = pw->pw_dir;
    }
    return fs::path(homeDir.empty() ? "/tmp" : homeDir) / ".cache" / kCacheFolderName;
}

fs::path ChoosePageFile(const fs::path& exeFolder) {
    if (FolderWritable(exeFolder)) return exeFolder / kPageFileName;
    const fs::path cache = CacheFolder();
    std::error_code ec;
    // A folder that cannot be created shows up as a failed fetch when the page is written.
    fs::create_directories(cache, ec);
    return cache / kPageFileName;
}

fs::path DefaultPageFile() {
    return ChoosePageFile(ExecutableFolder());
}

namespace {

// The private page files that sessions of this process hold at the moment.
std::mutex g_privateMutex;
std::set<fs::path> g_privateFiles;

// Takes the lock beside `shared`; -1 when it is held elsewhere or the lock file cannot be had.
int LockShared(const fs::path& shared) {
    const std::string lockName = shared.string() + ".lock";
    // Read-only is enough for flock, and opens a lock file that another user left behind.
    const int fd = ::open(lockName.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

PageFileClaim::PageFileClaim(const fs::path& shared) : lockFd_(LockShared(shared)) {
    if (lockFd_ >= 0) {
        path_ = shared;
        return;
    }
    const std::string base = shared.stem().string() + "-" + std::to_string(::getpid());
    const std::lock_guard lock(g_privateMutex);
    for (int n = 1;; ++n) {
        const std::string suffix = n == 1 ? std::string() : "-" + std::to_string(n);
        fs::path candidate = shared.parent_path() / (base + suffix + shared.extension().string());
        if (g_privateFiles.insert(candidate).second) {
            path_ = std::move(candidate);
            return;
        }
    }
}

PageFileClaim::~PageFileClaim() {
    if (lockFd_ >= 0) {
        // Closing the last descriptor of the open lock file releases the lock.
        ::close(lockFd_);
        return;
    }
    std::error_code ec;
    fs::remove(path_, ec);
    const std::lock_guard lock(g_privateMutex);
    g_privateFiles.erase(path_);
}

}  // namespace zb
