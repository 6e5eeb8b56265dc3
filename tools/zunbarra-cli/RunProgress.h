#pragma once
// How far a harvesting run with downloads is, on standard error: on a terminal one line
// rewritten in place (pages, addresses, files saved, bytes, failures) that every other message
// clears first; elsewhere one plain line for each finished page.

#include <cstdint>
#include <string>

namespace zb {

struct RunCounts {
    int Pages = 0;  // pages requested
    int Addresses = 0;
    int Saved = 0;
    std::int64_t Bytes = 0;
    int Failed = 0;
    int Archived = 0;     // already in the archive: not fetched
    int Interrupted = 0;  // left when the run was interrupted
};

class RunProgress {
public:
    // terminal: standard error is a terminal.
    explicit RunProgress(bool terminal) : FTerminal(terminal) {}

    RunCounts Counts;

    // A message line ("\n" added): the progress line makes way for it and comes back after.
    void Print(const std::string& line);
    // The counts changed: the terminal line is drawn again.
    void Changed();
    // A page has been handled: the plain line for it when standard error is no terminal.
    void PageDone();
    // Clears the terminal line for good.
    void Finish();

    std::string Text() const;

private:
    void Clear();

    bool FTerminal;
    bool FShown = false;
};

}  // namespace zb
