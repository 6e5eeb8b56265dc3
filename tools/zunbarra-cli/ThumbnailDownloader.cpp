#include "ThumbnailDownloader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "DownloadName.h"
#include "RetryMessage.h"
#include "common/Cp932.h"
#include "common/Exception.h"

namespace zb {

namespace {

bool IsDiskFull(int err) {
    return err == ENOSPC || err == EDQUOT || err == EFBIG;
}

// A temporary file in `dir` named after `name`, open for writing; -1 with errno on failure.
int MakeTemporary(const std::string& dir, const std::string& name, std::string& path) {
    path = dir + "/." + name + ".XXXXXX.part";
    return ::mkstemps(path.data(), 5);
}

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

ThumbnailDownloader::ThumbnailDownloader(const CliOptions& options, RunProgress& progress,
                                         DownloadArchive* archive, DownloadManifest* manifest)
    : FOptions(options), FProgress(progress), FArchive(archive), FManifest(manifest) {
    ThumbnailSettings settings;
    settings.Jobs = options.Jobs;
    settings.Retries = options.Retries;
    settings.CaFile = options.CaFile;
    settings.Insecure = options.Insecure;
    FFetcher.SetSettings(settings);
    FFetcher.OnFinished = [this](const ThumbnailResult& result) { Finished(result); };
    FFetcher.OnRetryWait = [this](const std::string& address, int ms, const std::string& reason) {
        RetryWait(address, ms, reason);
    };
    // Saved files get the permissions a newly created file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    FFileMode = 0666 & ~mask;
}

void ThumbnailDownloader::PrepareFolder() {
    const std::string& dir = FOptions.DownloadDir;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw Exception("cannot create folder " + dir + " (" + ec.message() + ")");
    if (!std::filesystem::is_directory(dir, ec)) throw Exception(dir + " is not a folder");
    std::string probe;
    const int fd = MakeTemporary(dir, "zunbarra-check", probe);
    if (fd < 0)
        throw Exception("cannot write in folder " + dir + " (" + std::strerror(errno) + ")");
    ::close(fd);
    ::unlink(probe.c_str());
}

void ThumbnailDownloader::SetProxy(const std::string& host, int port) {
    ThumbnailSettings settings = FFetcher.Settings();
    settings.ProxyHost = host;
    settings.ProxyPort = port;
    FFetcher.SetSettings(settings);
}

void ThumbnailDownloader::Add(const std::string& address, int page) {
    if (FArchive != nullptr && FArchive->Contains(address)) {
        ++FProgress.Counts.Archived;
        Record({address, page, "", -1, "", 0, "", "archive"});
        return;
    }
    if (FInterrupted) {
        ++FProgress.Counts.Interrupted;
        Record({address, page, "", -1, "", 0, "interrupted", ""});
        return;
    }
    if (FStopped) {
        ++FProgress.Counts.Failed;
        Record({address, page, "", -1, "", 0, "downloads stopped", ""});
        FProgress.Changed();
        return;
    }
    FPages[address].push_back(page);
    FFetcher.Enqueue(address);
}

int ThumbnailDownloader::TakePage(const std::string& address) {
    const auto it = FPages.find(address);
    if (it == FPages.end() || it->second.empty()) return 0;
    const int page = it->second.front();
    it->second.pop_front();
    if (it->second.empty()) FPages.erase(it);
    return page;
}

void ThumbnailDownloader::Finished(const ThumbnailResult& result) {
    FRetriesTold.erase(result.Address);
    ManifestEntry entry{
        result.Address, TakePage(result.Address), "", -1, "", result.Status, "", ""};
    std::string error = result.Error;
    bool diskFull = false;
    if (result.Ok()) {
        std::string path;
        error = Save(result, path, diskFull);
        if (error.empty()) {
            entry.File = path;
            entry.Bytes = static_cast<std::int64_t>(result.Data.size());
            entry.Sha256 = Sha256Hex(result.Data);
        }
    }
    if (error.empty()) {
        ++FProgress.Counts.Saved;
        FProgress.Counts.Bytes += entry.Bytes;
        if (FArchive != nullptr && !FArchive->Add(result.Address) && !FArchiveFailed) {
            FArchiveFailed = true;
            FProgress.Print("zunbarra-cli: cannot add to " + FOptions.ArchiveFile + " (" +
                            std::strerror(errno) + ")");
        }
    } else {
        ++FProgress.Counts.Failed;
        entry.Error = error;
        if (!diskFull)
            FProgress.Print("zunbarra-cli: " + Cp932ToUtf8(result.Address) + ": " + error);
    }
    Record(std::move(entry));
    if (diskFull) StopDownloads(error);
    FProgress.Changed();
}

std::string ThumbnailDownloader::Save(const ThumbnailResult& result, std::string& path,
                                      bool& diskFull) {
    const std::string name = ThumbnailFileId(result.Address) + "." + result.Kind;
    std::string temporary;
    const int fd = MakeTemporary(FOptions.DownloadDir, name, temporary);
    if (fd < 0) {
        diskFull = IsDiskFull(errno);
        return "cannot create a file in " + FOptions.DownloadDir + " (" + std::strerror(errno) +
               ")";
    }
    bool ok = WriteAll(fd, result.Data) && ::fchmod(fd, FFileMode) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    path = FOptions.DownloadDir + "/" + name;
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (ok) return "";
    ::unlink(temporary.c_str());
    diskFull = IsDiskFull(err);
    return "cannot write " + path + " (" + std::strerror(err) + ")";
}

void ThumbnailDownloader::StopDownloads(const std::string& why) {
    if (FStopped) return;
    FStopped = true;
    FProgress.Print("zunbarra-cli: " + why + ": downloads stopped, the search goes on");
    FFetcher.Clear();
    for (auto& [address, pages] : FPages)
        for (const int page : pages) {
            ++FProgress.Counts.Failed;
            Record({address, page, "", -1, "", 0, "downloads stopped", ""});
        }
    FPages.clear();
}

void ThumbnailDownloader::Interrupt() {
    FInterrupted = true;
    FFetcher.Clear();
    for (auto& [address, pages] : FPages)
        for (const int page : pages) {
            ++FProgress.Counts.Interrupted;
            Record({address, page, "", -1, "", 0, "interrupted", ""});
        }
    FPages.clear();
}

void ThumbnailDownloader::RetryWait(const std::string& address, int waitMs,
                                    const std::string& reason) {
    const int retry = ++FRetriesTold[address];
    FProgress.Print("zunbarra-cli: " +
                    RetryMessage(reason, waitMs, retry, FOptions.Retries, Cp932ToUtf8(address)));
}

void ThumbnailDownloader::Record(ManifestEntry entry) {
    if (FManifest == nullptr || FManifestFailed) return;
    if (!FManifest->Write(entry)) {
        FManifestFailed = true;
        FProgress.Print("zunbarra-cli: cannot write " + FOptions.ManifestFile + " (" +
                        std::strerror(errno) + ")");
    }
}

}  // namespace zb
