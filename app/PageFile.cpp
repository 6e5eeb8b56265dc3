#include "app/PageFile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
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

}  // namespace zb
