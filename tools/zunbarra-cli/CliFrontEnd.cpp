#include "CliFrontEnd.h"

#include "common/Cp932.h"

namespace zb {

namespace {

bool WriteAll(std::FILE* file, const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

}  // namespace

CliFrontEnd::CliFrontEnd(const CliOptions& options, std::FILE* list)
    : FOptions(options), FList(list) {
    // The list starts with one empty line, as the window's list does.
    if (FList != nullptr) FListOk = WriteAll(FList, "\r\n") && std::fflush(FList) == 0;
}

void CliFrontEnd::SetRequestAddress(const std::string& address) {
    ++FPage;
    const std::string line = "page " + std::to_string(FPage) + ": " + Cp932ToUtf8(address);
    if (Progress != nullptr) {
        if (FPage > 1) Progress->PageDone();
        Progress->Counts.Pages = FPage;
        Progress->Print(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void CliFrontEnd::AppendAddress(const std::string& address) {
    if (FOptions.Unique && !FSeen.insert(address).second) return;
    ++FListed;
    const std::string line = Cp932ToUtf8(address) + "\n";
    WriteAll(stdout, line);
    std::fflush(stdout);
    if (FList != nullptr && FListOk) {
        // Flushed line by line, so an interrupted run keeps what it found.
        FListOk = WriteAll(FList, address + "\r\n") && std::fflush(FList) == 0;
    }
    if (Progress != nullptr) {
        ++Progress->Counts.Addresses;
        Progress->Changed();
    }
    if (OnAddress) OnAddress(address, FPage);
}

}  // namespace zb
