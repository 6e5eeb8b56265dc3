#pragma once
// The download archive: a text file of the addresses already downloaded, one a line, so that a
// stopped run can be started again and fetch only what is missing. Blank lines, lines that are
// no address and CR LF line ends are tolerated when it is read; each new address is appended
// and flushed as soon as its file is complete.

#include <cstdio>
#include <string>
#include <unordered_set>

namespace zb {

class DownloadArchive {
public:
    DownloadArchive() = default;
    ~DownloadArchive();
    DownloadArchive(const DownloadArchive&) = delete;
    DownloadArchive& operator=(const DownloadArchive&) = delete;

    // Reads the file when it exists and opens it for appending; raises zb::Exception with a
    // message for the user when it cannot be read or written.
    void Open(const std::string& path);

    bool Contains(const std::string& address) const { return FKnown.count(address) != 0; }
    // Appends the address and flushes; false when the write failed (errno tells why).
    bool Add(const std::string& address);

    int Entries() const { return static_cast<int>(FKnown.size()); }
    // Lines read that were neither blank nor an address.
    int JunkLines() const { return FJunk; }

private:
    std::unordered_set<std::string> FKnown;
    std::FILE* FFile = nullptr;
    bool FNeedsLineEnd = false;  // the file did not end with a line end
    int FJunk = 0;
};

}  // namespace zb
