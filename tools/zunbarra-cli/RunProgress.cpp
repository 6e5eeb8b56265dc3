#include "RunProgress.h"

#include <cstdio>

namespace zb {

std::string RunProgress::Text() const {
    const RunCounts& c = Counts;
    return std::to_string(c.Pages) + (c.Pages == 1 ? " page, " : " pages, ") +
           std::to_string(c.Addresses) + (c.Addresses == 1 ? " address, " : " addresses, ") +
           std::to_string(c.Saved) + (c.Saved == 1 ? " file saved (" : " files saved (") +
           std::to_string(c.Bytes) + " bytes), " + std::to_string(c.Failed) + " failed";
}

void RunProgress::Clear() {
    if (!FShown) return;
    std::fputs("\r\033[K", stderr);
    FShown = false;
}

void RunProgress::Print(const std::string& line) {
    Clear();
    std::fputs((line + "\n").c_str(), stderr);
    Changed();
}

void RunProgress::Changed() {
    if (FTerminal) {
        std::fputs(("\r\033[K" + Text()).c_str(), stderr);
        FShown = true;
    }
    std::fflush(stderr);
}

void RunProgress::PageDone() {
    if (FTerminal) return;
    std::fputs(("progress: " + Text() + "\n").c_str(), stderr);
    std::fflush(stderr);
}

void RunProgress::Finish() {
    Clear();
    std::fflush(stderr);
}

}  // namespace zb
