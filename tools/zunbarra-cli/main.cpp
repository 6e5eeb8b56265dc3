// zunbarra-cli: one search session without a window. See CliOptions.cpp for the command line.

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CliFrontEnd.h"
#include "CliOptions.h"
#include "DownloadArchive.h"
#include "DownloadManifest.h"
#include "RetryMessage.h"
#include "RunProgress.h"
#include "ThumbnailDownloader.h"
#include "app/SearchSession.h"
#include "common/Cp932.h"
#include "common/TextNumbers.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitInterrupted = 130;

int g_signalPipe[2] = {-1, -1};

extern "C" void OnInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// What the downloads need: made before the search starts, so a folder, archive or manifest
// that cannot be used stops the run before anything is fetched.
struct Downloads {
    std::unique_ptr<zb::RunProgress> Progress;
    std::unique_ptr<zb::DownloadArchive> Archive;
    std::unique_ptr<zb::DownloadManifest> Manifest;
    std::unique_ptr<zb::ThumbnailDownloader> Downloader;
};

// Raises zb::Exception with a message for the user.
void PrepareDownloads(const zb::CliOptions& options, Downloads& d) {
    d.Progress = std::make_unique<zb::RunProgress>(::isatty(STDERR_FILENO) == 1);
    if (!options.ArchiveFile.empty()) {
        d.Archive = std::make_unique<zb::DownloadArchive>();
        d.Archive->Open(options.ArchiveFile);
        if (d.Archive->JunkLines() > 0)
            d.Progress->Print("zunbarra-cli: " + options.ArchiveFile + ": " +
                              std::to_string(d.Archive->JunkLines()) +
                              (d.Archive->JunkLines() == 1 ? " line" : " lines") +
                              " that are no address ignored");
    }
    if (!options.ManifestFile.empty()) {
        d.Manifest = std::make_unique<zb::DownloadManifest>();
        d.Manifest->Open(options.ManifestFile);
    }
    d.Downloader = std::make_unique<zb::ThumbnailDownloader>(options, *d.Progress, d.Archive.get(),
                                                             d.Manifest.get());
    d.Downloader->PrepareFolder();
    if (options.UseProxy) {
        // A port that is not a number stops the search itself, with its own message.
        try {
            d.Downloader->SetProxy(options.ProxyHost, zb::StrToInt(options.ProxyPort));
        } catch (const std::exception&) {
        }
    }
    // A file size limit makes a write fail (handled like a full disk) instead of ending the run.
    std::signal(SIGXFSZ, SIG_IGN);
}

// The end line: why the search ended, how many pages and addresses. With the options beyond
// the plain search, a normal end after a page without any image link says so.
// `listed` is the number of addresses listed (fewer than the session found with --unique).
std::string EndLine(const zb::CliOptions& options, const zb::SearchOutcome& outcome, int listed) {
    std::string line = "session ended: " + zb::DescribeOutcome(outcome);
    if (options.Extended() && outcome.Normal() && outcome.Pages > 0 &&
        outcome.LastPageAddresses == 0)
        line += " (last page: 0 image links)";
    return line + " (" + std::to_string(outcome.Pages) +
           (outcome.Pages == 1 ? " page, " : " pages, ") + std::to_string(listed) +
           (listed == 1 ? " address)" : " addresses)");
}

// The search profile of the command line; warnings go to standard error. Raises EProfileError.
zb::SearchProfile ChooseProfile(const zb::CliOptions& options) {
    if (options.ProfileFile.empty()) return zb::BuiltInProfile();
    std::vector<std::string> warnings;
    zb::SearchProfile profile = zb::LoadSearchProfile(options.ProfileFile, warnings);
    for (const std::string& w : warnings)
        std::cerr << "zunbarra-cli: warning: " << w << "\n";
    if (options.ServiceGiven) {
        profile.Base = profile.Base.substr(0, profile.Base.find("://") + 3) + options.Service;
    }
    return profile;
}

std::string DownloadSummary(const zb::RunCounts& c) {
    return "downloads: " + std::to_string(c.Saved) + (c.Saved == 1 ? " file" : " files") +
           " saved (" + std::to_string(c.Bytes) + " bytes), " + std::to_string(c.Failed) +
           " failed, " + std::to_string(c.Archived) + " already in the archive" +
           (c.Interrupted > 0 ? ", " + std::to_string(c.Interrupted) + " not fetched (interrupted)"
                              : "");
}

int Run(const zb::CliOptions& options) {
    zb::SearchProfile profile;
    try {
        profile = ChooseProfile(options);
    } catch (const zb::EProfileError& e) {
        std::cerr << "zunbarra-cli: " << e.what() << "\n";
        return zb::kExitUsage;
    }
    if (options.Insecure) {
        std::cerr << "zunbarra-cli: warning: --insecure: the service's certificate is not "
                     "checked\n";
    }
    std::FILE* list = nullptr;
    if (!options.OutputFile.empty()) {
        list = std::fopen(options.OutputFile.c_str(), "wb");
        if (list == nullptr) {
            std::cerr << "zunbarra-cli: ファイル " << options.OutputFile << " を作成できません ("
                      << std::strerror(errno) << ")\n";
            return zb::kExitUsage;
        }
    }
    Downloads downloads;
    if (!options.DownloadDir.empty()) {
        try {
            PrepareDownloads(options, downloads);
        } catch (const std::exception& e) {
            std::cerr << "zunbarra-cli: " << e.what() << "\n";
            if (list != nullptr) std::fclose(list);
            return zb::kExitUsage;
        }
    }
    zb::RunProgress* progress = downloads.Progress.get();
    auto say = [progress](const std::string& line) {
        if (progress != nullptr)
            progress->Print(line);
        else
            std::cerr << line << "\n";
    };

    zb::CliFrontEnd frontEnd(options, list);
    frontEnd.Progress = progress;
    if (downloads.Downloader)
        frontEnd.OnAddress = [&](const std::string& address, int page) {
            downloads.Downloader->Add(address, page);
        };
    zb::SearchSession session(frontEnd);
    session.ServiceHost = options.Service;
    session.Profile = profile;
    session.NMHTTP2Zorvex->CaFile = options.CaFile;
    session.NMHTTP2Zorvex->Insecure = options.Insecure;
    session.PageDelayMs = options.DelayMs;
    session.Retries = options.Retries;
    session.OnWait = [&](const zb::SearchWait& wait) {
        if (wait.Retry == 0) return;  // the pause between pages goes unsaid
        std::string reason = "HTTP " + std::to_string(wait.Status);
        if (!wait.RetryAfter.empty()) reason += ", Retry-After " + wait.RetryAfter;
        say("zunbarra-cli: " + zb::RetryMessage(reason, wait.Ms, wait.Retry, wait.Retries,
                                                zb::Cp932ToUtf8(wait.Address)));
    };

    // Ctrl-C or SIGTERM stops the session from the event loop, so the list file stays whole.
    bool interrupted = false;
    std::unique_ptr<QSocketNotifier> notifier;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [&] {
            char buffer[16];
            while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
            }
            interrupted = true;
            session.Stop();
            if (downloads.Downloader) downloads.Downloader->Interrupt();
        });
        struct sigaction stop {};
        stop.sa_handler = OnInterrupt;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGINT, &stop, nullptr);
        sigaction(SIGTERM, &stop, nullptr);
    }

    int result = 0;
    try {
        session.ToolbarButtonSearchGetClick();
        const zb::SearchOutcome& outcome = session.LastOutcome();
        // The run ends when every download has; Ctrl-C drops the rest.
        if (downloads.Downloader) {
            if (progress->Counts.Pages > 0) progress->PageDone();
            while (downloads.Downloader->Busy() && !interrupted)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            progress->Finish();
        }
        std::cerr << EndLine(options, outcome, frontEnd.Listed()) << "\n";
        result = interrupted ? kExitInterrupted : outcome.Normal() ? 0 : kExitError;
        if (downloads.Downloader) {
            std::cerr << DownloadSummary(progress->Counts) << "\n";
            if (result == 0 && progress->Counts.Failed > 0) result = kExitError;
        }
    } catch (const std::exception& e) {
        // The proxy port conversion: no page was fetched.
        std::cerr << "zunbarra-cli: " << e.what() << "\n";
        result = zb::kExitUsage;
    }
    if (list != nullptr) {
        const bool ok = frontEnd.ListWritten() && std::fclose(list) == 0;
        if (!ok) {
            std::cerr << "zunbarra-cli: cannot write " << options.OutputFile << "\n";
            if (result == 0) result = zb::kExitUsage;
        }
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    zb::CliOptions options;
    try {
        options = zb::ParseCliOptions({argv + 1, argv + argc});
    } catch (const zb::EUsageError& e) {
        return zb::ReportUsageError(zb::kCliUsage, e.Message, std::cerr);
    }
    if (options.Request != zb::StandardRequest::None)
        return zb::AnswerRequest(zb::kCliUsage, options.Request, std::cout);
    QCoreApplication app(argc, argv);
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "zunbarra-cli: " << e.what() << "\n";
        return kExitError;
    }
}
