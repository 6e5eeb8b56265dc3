#pragma once
// The download manifest: one JSON object a line for each address the run handled, written and
// flushed as its outcome is known.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace zb {

struct ManifestEntry {
    std::string Address;  // bytes as received (Shift_JIS); written as its UTF-8 text
    int Page = 0;
    std::string File;  // empty: no file saved
    std::int64_t Bytes = -1;
    std::string Sha256;   // hex; empty without a file
    int Status = 0;       // 0: no answer
    std::string Error;    // empty on success
    std::string Skipped;  // why it was not fetched ("archive"), or empty
};

// `text` as a JSON string literal, quotes included. Valid UTF-8 stays as it is (control
// characters, quote and backslash escaped); each byte that is not part of valid UTF-8 becomes
// \u00XX, so any byte string gives valid JSON.
std::string JsonString(const std::string& text);

// The entry as one JSON object, without a line end.
std::string ManifestLine(const ManifestEntry& entry);

class DownloadManifest {
public:
    DownloadManifest() = default;
    ~DownloadManifest();
    DownloadManifest(const DownloadManifest&) = delete;
    DownloadManifest& operator=(const DownloadManifest&) = delete;

    // Creates (or empties) the file; raises zb::Exception when it cannot be.
    void Open(const std::string& path);
    // Writes and flushes one line; false when the write failed.
    bool Write(const ManifestEntry& entry);

private:
    std::FILE* FFile = nullptr;
};

}  // namespace zb
