#include "app/SearchSession.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <cstdio>
#include <exception>
#include <vector>

#include "app/PageFile.h"
#include "common/RetryAfter.h"
#include "common/TextCase.h"
#include "common/TextNumbers.h"

namespace zb {

namespace {

// Entry `index` of a list that may be shorter, with the list-index error of the framework's
// string lists.
const std::string& Entry(const std::vector<std::string>& list, std::size_t index) {
    if (index >= list.size()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
    return list[index];
}

// Clears a flag when the scope ends, also by an exception.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

// Gives up the page file claim when the page loop ends, also by an exception.
class ClaimGuard {
public:
    explicit ClaimGuard(std::unique_ptr<PageFileClaim>& claim) : claim_(claim) {}
    ~ClaimGuard() { claim_.reset(); }
    ClaimGuard(const ClaimGuard&) = delete;
    ClaimGuard& operator=(const ClaimGuard&) = delete;

private:
    std::unique_ptr<PageFileClaim>& claim_;
};

// The value of the Retry-After line in a response header text, "" without one.
std::string RetryAfterValue(const std::string& header) {
    static const std::string name = "retry-after:";
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find('\n', start);
        if (end == std::string::npos) end = header.size();
        std::string line = header.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= name.size() && LowerCase(line.substr(0, name.size())) == name) {
            std::string value = line.substr(name.size());
            const std::size_t first = value.find_first_not_of(" \t");
            return first == std::string::npos ? "" : value.substr(first);
        }
        start = end + 1;
    }
    return "";
}

bool IsRetryStatus(int status) {
    return status == 429 || status == 503;
}

}  // namespace

SearchSession::SearchSession(SearchFrontEnd& frontEnd, std::unique_ptr<TNMHTTP> client)
    : NMHTTP2Zorvex(client ? std::move(client) : std::make_unique<TNMHTTP>()), FFrontEnd(frontEnd) {
    PageFile = DefaultPageFile().string();
    TNMHTTP& http = *NMHTTP2Zorvex;
    http.Body = PageFile;
    http.InputFileMode = true;
    http.OutputFileMode = false;
    http.TimeOut = kFetchTimeOutMs;
    http.ReportLevel = 2;
    // A server that stops sending ends the fetch instead of hanging the session.
    http.IdleTimeOut = kFetchIdleTimeOutMs;
    http.OnSuccess = [this](CmdType cmd) { NMHTTP2ZorvexSuccess(cmd); };
    Grep.OnMatch = [this](TGrep& sender, const RE_LineInfo_t& info) { GrepMatch(sender, info); };
    GrepNext.OnMatch = [this](TGrep& sender, const RE_LineInfo_t& info) {
        GrepNextMatch(sender, info);
    };
    AWKStr.LineSeparator = mcls_CRLF;
    AWKStr2.LineSeparator = mcls_CRLF;
    // The engine lets the thread's events run while it reads the page file.
    FPreviousHook = SetProcessMessagesHook([] {
        if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
    });
}

SearchSession::~SearchSession() {
    SetProcessMessagesHook(FPreviousHook);
}

bool SearchSession::ToolbarButtonSearchGetClick() {
    // One page loop at a time: a nested second loop would share the socket and the page file.
    if (FRunning) return false;
    if (FFrontEnd.UseProxy()) {
        NMHTTP2Zorvex->Proxy = FFrontEnd.ProxyHost();
        NMHTTP2Zorvex->ProxyPort = StrToInt(FFrontEnd.ProxyPort());
    }
    const FlagGuard running(FRunning);
    FStopRequested = false;
    SearchAndGet();
    return true;
}

void SearchSession::Stop() {
    if (!FRunning) return;
    FStopRequested = true;
    Grep.Cancel = true;
    GrepNext.Cancel = true;
    NMHTTP2Zorvex->Abort();
}

std::string SearchSession::CurrentPageFile() const {
    return FPageClaim ? FPageClaim->Path().string() : PageFile;
}

void SearchSession::SearchAndGet() {
    FOutcome = SearchOutcome();
    if (FFrontEnd.AndWords().empty()) {
        FOutcome.End = SearchEnd::NoWords;
        return;
    }
    // A profile expression the engine refuses ends the session before any request.
    try {
        CheckProfileExpressions(Profile);
    } catch (const EProfileError& e) {
        FOutcome.End = SearchEnd::BadProfile;
        FOutcome.Message = e.what();
        return;
    }
    // Another session running meanwhile must neither delete this page nor scan it.
    FPageClaim = std::make_unique<PageFileClaim>(PageFile);
    const ClaimGuard release(FPageClaim);
    int offset = Profile.FirstOffset;
    NextPageFound = true;
    while (NextPageFound) {
        if (FOutcome.Pages > 0 && PageDelayMs > 0) {
            Pause({ComposeAddress(offset), PageDelayMs, 0, Retries, 0, ""});
            if (FStopRequested) break;
        }
        const std::string address = ComposeAddress(offset);
        FFrontEnd.SetRequestAddress(address);
        NextPageFound = false;
        const int before = FOutcome.Addresses;
        FetchPageWithRetries(address);
        FOutcome.LastPageAddresses = FOutcome.Addresses - before;
        ++FOutcome.Pages;
        offset += Profile.PageSize;
        if (FStopRequested) NextPageFound = false;
    }
    FOutcome.End = FStopRequested ? SearchEnd::Stopped : FTurn.End;
    FOutcome.Message = FTurn.Message;
    FOutcome.Status = FTurn.Status;
}

std::string SearchSession::ServiceBase() const {
    return Profile.BuiltIn() ? "http://" + ServiceHost : Profile.Base;
}

std::string SearchSession::ComposeAddress(int offset) {
    // The inputs are read on every page: changes made while a session runs apply from the next
    // page on.
    return FillPlaceholders(
        Profile.Template,
        {{"base", ServiceBase()},
         {"words", ComposeAndWords(Profile, FFrontEnd.AndWords(), AWKStr2)},
         {"not", ComposeNotWords(Profile, FFrontEnd.NotWords(), AWKStr2)},
         {"offset", std::to_string(offset)},
         {"size", std::to_string(Profile.PageSize)},
         {"adult", FFrontEnd.AdultFilter() ? Profile.AdultOn : Profile.AdultOff},
         {"lang", FFrontEnd.JapanesePagesOnly() ? Profile.LanguageOn : Profile.LanguageOff}});
}

void SearchSession::FetchPageWithRetries(const std::string& address) {
    FetchPage(address);
    for (int retry = 1; retry <= Retries && !FStopRequested; ++retry) {
        if (FTurn.End != SearchEnd::ErrorStatus || !IsRetryStatus(FTurn.Status)) return;
        const std::string retryAfter = RetryAfterValue(NMHTTP2Zorvex->Header);
        const int ms = RetryWaitMs(retryAfter, retry - 1, QDateTime::currentSecsSinceEpoch());
        Pause({address, ms, retry, Retries, FTurn.Status, retryAfter});
        if (FStopRequested) return;
        FetchPage(address);
    }
}

void SearchSession::Pause(const SearchWait& wait) {
    if (OnWait) OnWait(wait);
    QElapsedTimer clock;
    clock.start();
    while (!FStopRequested && clock.elapsed() < wait.Ms)
        NMHTTP2Zorvex->ProcessEventsOnce();
}

void SearchSession::FetchPage(const std::string& address) {
    FTurn = SearchOutcome();
    FTurn.End = SearchEnd::NoNextPage;
    FPageSucceeded = false;
    try {
        // A missing page file is no error; a successful download replaces the file anyway.
        const std::string page = CurrentPageFile();
        std::remove(page.c_str());
        NMHTTP2Zorvex->Body = page;
        NMHTTP2Zorvex->Get(address);
        if (!FPageSucceeded) {
            FTurn.End = SearchEnd::ErrorStatus;
            FTurn.Status = NMHTTP2Zorvex->ReplyNumber();
        }
    } catch (const std::exception& e) {
        NextPageFound = false;
        FTurn.End = SearchEnd::FetchError;
        FTurn.Message = e.what();
    } catch (...) {
        NextPageFound = false;
        FTurn.End = SearchEnd::FetchError;
        FTurn.Message = "unknown error";
    }
}

void SearchSession::NMHTTP2ZorvexSuccess(CmdType) {
    FPageSucceeded = true;
    try {
        Grep.Cancel = FStopRequested;
        GrepNext.Cancel = FStopRequested;
        const std::string page = CurrentPageFile();
        Grep.SetRegExp(Profile.ImageLine);
        Grep.Grep(page);
        GrepNext.SetRegExp(Profile.NextPage);
        GrepNext.Grep(page);
    } catch (const std::exception& e) {
        FTurn.End = SearchEnd::ScanError;
        FTurn.Message = e.what();
    } catch (...) {
        FTurn.End = SearchEnd::ScanError;
        FTurn.Message = "unknown error";
    }
}

void SearchSession::GrepMatch(TGrep&, const RE_LineInfo_t& LineInfo) {
    // Each cut splits what the one before kept and keeps one field.
    std::string kept = LineInfo.Line;
    std::vector<std::string> fields;
    for (const ProfileCut& cut : Profile.Cuts) {
        AWKStr.SetRegExp(cut.Split);
        AWKStr.Split(kept, fields);
        kept = Entry(fields, static_cast<std::size_t>(cut.Field - 1));
    }
    FFrontEnd.AppendAddress(FillPlaceholders(Profile.AddressPrefix, {{"base", ServiceBase()}}) +
                            kept);
    ++FOutcome.Addresses;
}

void SearchSession::GrepNextMatch(TGrep&, const RE_LineInfo_t&) {
    NextPageFound = true;
}

}  // namespace zb
