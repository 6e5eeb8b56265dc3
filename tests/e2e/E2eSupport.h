#pragma once
// Helpers of the whole-program tests: zunbarra-cli run from a folder of its own (its page file
// lives beside the executable, so parallel tests must not share one), and what the service's
// corpus says a search should list.

#include <filesystem>
#include <string>
#include <vector>

#include "ServiceProcess.h"

namespace zb::test {

// A private copy (or hard link) of zunbarra-cli in a temporary folder, removed afterwards.
class IsolatedCli {
public:
    IsolatedCli();
    ~IsolatedCli();
    IsolatedCli(const IsolatedCli&) = delete;
    IsolatedCli& operator=(const IsolatedCli&) = delete;

    ProgramRun Run(const std::vector<std::string>& args) const;
    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path PageFile() const { return folder_ / "tmp.htm"; }

private:
    std::filesystem::path folder_;
    std::filesystem::path program_;
};

// A loopback port with nothing listening on it (free when probed).
int UnusedLoopbackPort();

// "http://127.0.0.1:<port>" followed by each thumbnail path the service lists for the query
// (a query string such as "q=cat&imgsafe=on"), over all pages, for a corpus of `images`.
std::vector<std::string> ExpectedAddresses(int port, const std::string& query, int images);

// The text cut at line ends ("\n"); no empty last entry.
std::vector<std::string> Lines(const std::string& text);

std::string ReadBytes(const std::filesystem::path& path);

}  // namespace zb::test
