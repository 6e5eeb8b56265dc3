#pragma once
// Where the session keeps the result page it scans: "tmp.htm" in the executable's folder, or,
// when that folder is not writable (common for installed programs), in the user's cache folder.

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

}  // namespace zb
