#pragma once
// The search session: keywords and options in, thumbnail addresses out, page after page.
//
// The search command applies the proxy settings and runs the page loop: for each page it
// composes the query address, fetches the result page into the page file, scans the file for
// image-link lines (one address each) and for the next-page marker, and goes on while the page
// just fetched had the marker. Failures end the session without a report; the session records
// why it ended (LastOutcome) for front ends that want to show it.
//
// Everything runs on the calling thread, which must have a QCoreApplication (or QApplication):
// while the client waits for the network and while the scans read the page file, the thread's
// events keep being processed, so a window stays responsive and its handlers may run nested
// inside the command. A search command given while a session runs is refused.

#include <functional>
#include <memory>
#include <string>

#include "app/PageFile.h"
#include "app/SearchFrontEnd.h"
#include "app/SearchOutcome.h"
#include "app/SearchProfile.h"
#include "net/TNMHTTP.h"
#include "regex/ProcessMessages.h"
#include "regex/TAWKStr.h"
#include "regex/TGrep.h"

namespace zb {

// Where the bundled service listens unless a front end says otherwise.
inline constexpr const char* kDefaultServiceHost = "127.0.0.1:8930";
// Limits of the client: host lookup and connection set-up, and silence during a transfer.
inline constexpr int kFetchTimeOutMs = 5000;
inline constexpr int kFetchIdleTimeOutMs = 30000;

// A pause of the page loop, told to the front end before it starts.
struct SearchWait {
    std::string Address;     // the page that waits
    int Ms = 0;              // how long
    int Retry = 0;           // 0: the pause between two pages; else the retry it precedes (1..)
    int Retries = 0;         // the most retries a page gets
    int Status = 0;          // for a retry: the status that asked for it (429 or 503)
    std::string RetryAfter;  // for a retry: the answer's Retry-After value, "" when none
};

class SearchSession {
public:
    // The client may be given (tests pass a scripted one); by default a TNMHTTP is made. The
    // page file is DefaultPageFile().
    explicit SearchSession(SearchFrontEnd& frontEnd, std::unique_ptr<TNMHTTP> client = nullptr);
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    // Settings.
    std::string ServiceHost = kDefaultServiceHost;  // HOST or HOST:PORT, without scheme
    // How the service is asked and its pages read. The built-in profile asks ServiceHost over
    // http; another profile names its own service.
    SearchProfile Profile = BuiltInProfile();
    // Full path of the page file. A session running while another one (in this process or
    // another) holds it works on a file of its own beside it instead: see PageFileClaim.
    std::string PageFile;
    // Politeness; the defaults fetch every page at once and once only.
    int PageDelayMs = 0;  // the pause before each page request after the first
    int Retries = 0;      // a page answered 429 or 503 is fetched again up to this many times,
                          // after the wait its Retry-After asks for (see common/RetryAfter.h)
    // Told before each pause; the pause processes events and ends at once on Stop().
    std::function<void(const SearchWait&)> OnWait;

    // The search command. Applies the proxy inputs when Use proxy is on (a port text that is not
    // an integer raises zb::Exception "'text' は整数ではありません", after the proxy host has been
    // assigned, and nothing is fetched), then runs the page loop until the session ends.
    // Returns false, doing nothing at all, when a session is already running.
    bool ToolbarButtonSearchGetClick();

    // Ends the running session as soon as possible (aborts the fetch or the scan); the command
    // then returns with the outcome Stopped. Does nothing when no session runs. The session
    // object must outlive the command.
    void Stop();

    bool Running() const { return FRunning; }
    // The page file the page loop fetches into and scans: PageFile, or while another session
    // holds that, this session's own file.
    std::string CurrentPageFile() const;
    const SearchOutcome& LastOutcome() const { return FOutcome; }

    // Handlers, bound to the workers' events.
    void NMHTTP2ZorvexSuccess(CmdType Cmd);
    void GrepMatch(TGrep& Sender, const RE_LineInfo_t& LineInfo);
    void GrepNextMatch(TGrep& Sender, const RE_LineInfo_t& LineInfo);

    // Workers. The session sets them up (the client's page file, file modes, time-outs and
    // report level; the handlers; the line separators): front ends leave them alone.
    std::unique_ptr<TNMHTTP> NMHTTP2Zorvex;  // fetches result pages into the page file
    TGrep Grep;                              // finds image-link lines
    TGrep GrepNext;                          // finds the next-page marker
    TAWKStr AWKStr;                          // cuts the address out of a line
    TAWKStr AWKStr2;                         // turns the keywords into query form

private:
    void SearchAndGet();
    std::string ServiceBase() const;
    std::string ComposeAddress(int offset);
    void FetchPage(const std::string& address);
    void FetchPageWithRetries(const std::string& address);
    void Pause(const SearchWait& wait);

    SearchFrontEnd& FFrontEnd;
    std::unique_ptr<PageFileClaim> FPageClaim;  // held while the page loop runs
    ProcessMessagesHook FPreviousHook;
    bool NextPageFound = false;
    bool FRunning = false;
    bool FStopRequested = false;
    bool FPageSucceeded = false;  // the client raised OnSuccess for the current page
    SearchOutcome FTurn;          // how the current page went
    SearchOutcome FOutcome;
};

}  // namespace zb
