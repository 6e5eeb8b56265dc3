#pragma once
// The harvester's downloads: each address found is fetched beside the search (at most --jobs
// at once) and its picture saved as DIR/ID.EXT through a temporary file in DIR, renamed when
// complete, so no file is ever left half-written. The archive and the manifest are kept as each
// download ends. When the disk fills up, the downloads stop (reported once) and the search goes
// on listing.

#include <deque>
#include <map>
#include <string>

#include "CliOptions.h"
#include "DownloadArchive.h"
#include "DownloadManifest.h"
#include "RunProgress.h"
#include "app/thumbs/ThumbnailFetcher.h"

namespace zb {

class ThumbnailDownloader {
public:
    // archive and manifest may be nullptr.
    ThumbnailDownloader(const CliOptions& options, RunProgress& progress, DownloadArchive* archive,
                        DownloadManifest* manifest);

    // Creates the folder (and its parents) when missing and checks that a file can be made in
    // it; raises zb::Exception with a message for the user otherwise.
    void PrepareFolder();
    // Thumbnails go through this HTTP proxy.
    void SetProxy(const std::string& host, int port);

    // An address found on page `page` (CP932 bytes as received).
    void Add(const std::string& address, int page);
    // Downloads queued or running.
    bool Busy() const { return FFetcher.Outstanding() > 0; }
    // Drops what is left (Ctrl-C); the manifest records it as interrupted.
    void Interrupt();

private:
    void Finished(const ThumbnailResult& result);
    void RetryWait(const std::string& address, int waitMs, const std::string& reason);
    // Saves the picture; returns the error text, "" when saved (path then names the file).
    std::string Save(const ThumbnailResult& result, std::string& path, bool& diskFull);
    void StopDownloads(const std::string& why);
    void Record(ManifestEntry entry);
    int TakePage(const std::string& address);

    const CliOptions& FOptions;
    RunProgress& FProgress;
    DownloadArchive* FArchive;
    DownloadManifest* FManifest;
    ThumbnailFetcher FFetcher;
    std::map<std::string, std::deque<int>> FPages;  // running or queued: the pages they came from
    std::map<std::string, int> FRetriesTold;
    bool FStopped = false;  // the disk filled up
    bool FInterrupted = false;
    bool FArchiveFailed = false;
    bool FManifestFailed = false;
    unsigned FFileMode = 0644;
};

}  // namespace zb
