#pragma once
// Where the session keeps the result page it scans: "tmp.htm" in the executable's folder, or,
// when that folder is not writable (common for installed programs), in the user's cache folder.
// Sessions that run at the same time (two windows, a window and zunbarra-cli) each get a page
// file of their own in that folder.

#include <filesystem>

namespace zb {

inline constexpr const char* kPageFileName = "tmp.htm";
// The folder name under the user's cache folder.
inline constexpr const char* kCacheFolderName = "zunbarra";

// The folder of the running executable; empty when it cannot be found.
std::filesystem::path ExecutableFolder();

// Whether a file can be created in the folder (probed by creating and removing one, which also
// holds for root and for read-only file systems).
bool FolderWritable(const std::filesystem::path& folder);

// $XDG_CACHE_HOME/zunbarra when XDG_CACHE_HOME is an absolute path, else ~/.cache/zunbarra.
std::filesystem::path CacheFolder();

// exeFolder/tmp.htm when exeFolder is writable, else tmp.htm in CacheFolder(), which is created
// when missing.
std::filesystem::path ChoosePageFile(const std::filesystem::path& exeFolder);

// ChoosePageFile(ExecutableFolder()).
std::filesystem::path DefaultPageFile();

// The page file of one running session. The first session claims `shared` itself by holding an
// advisory lock (flock) on `shared` + ".lock" for as long as the claim lives; the lock is on a
// file of its own because the session deletes the page before every fetch, and a lock on a
// deleted file is not seen by whoever creates the next one. A session that finds the lock held
// (by another process or another session of this one), or cannot take it, gets a file of its
// own in the same folder, "<stem>-<pid><ext>" (then "<stem>-<pid>-2<ext>" and so on for further
// sessions of this process), which is removed when the claim ends. The shared file stays.
class PageFileClaim {
public:
    explicit PageFileClaim(const std::filesystem::path& shared);
    ~PageFileClaim();
    PageFileClaim(const PageFileClaim&) = delete;
    PageFileClaim& operator=(const PageFileClaim&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    bool Shared() const { return lockFd_ >= 0; }

private:
    std::filesystem::path path_;
    int lockFd_ = -1;
};

}  // namespace zb
