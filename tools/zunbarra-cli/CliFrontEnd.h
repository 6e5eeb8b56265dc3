#pragma once
// The harvester's side of a search session: fixed inputs from the command line; each page's
// address goes to standard error, each thumbnail address to standard output (UTF-8) and, with
// -o, to the list file (CP932 bytes as received, CR LF line ends). With --unique an address
// listed before is dropped.

#include <cstdio>
#include <functional>
#include <string>
#include <unordered_set>

#include "CliOptions.h"
#include "RunProgress.h"
#include "app/SearchFrontEnd.h"

namespace zb {

class CliFrontEnd : public SearchFrontEnd {
public:
    // list: an open file to write the list to, or nullptr.
    CliFrontEnd(const CliOptions& options, std::FILE* list);

    std::string AndWords() const override { return FOptions.AndWords; }
    std::string NotWords() const override { return FOptions.NotWords; }
    bool AdultFilter() const override { return FOptions.AdultFilter; }
    bool JapanesePagesOnly() const override { return FOptions.Japanese; }
    bool UseProxy() const override { return FOptions.UseProxy; }
    std::string ProxyHost() const override { return FOptions.ProxyHost; }
    std::string ProxyPort() const override { return FOptions.ProxyPort; }

    void SetRequestAddress(const std::string& address) override;
    void AppendAddress(const std::string& address) override;

    // Whether every write to the list file went through.
    bool ListWritten() const { return FListOk; }
    int Page() const { return FPage; }
    // Addresses listed (with --unique, those seen before are not).
    int Listed() const { return FListed; }

    // With downloads: the page lines go through the progress display, which counts them.
    RunProgress* Progress = nullptr;
    // Each address listed, with the page it was found on.
    std::function<void(const std::string& address, int page)> OnAddress;

private:
    const CliOptions& FOptions;
    std::FILE* FList;
    bool FListOk = true;
    int FPage = 0;
    int FListed = 0;
    std::unordered_set<std::string> FSeen;  // with --unique
};

}  // namespace zb
