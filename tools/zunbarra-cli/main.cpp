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
#include "app/SearchSession.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitInterrupted = 130;

int g_signalPipe[2] = {-1, -1};

extern "C" void OnInterrupt(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

int Run(const zb::CliOptions& options) {
    std::FILE* list = nullptr;
    if (!options.OutputFile.empty()) {
        list = std::fopen(options.OutputFile.c_str(), "wb");
        if (list == nullptr) {
            std::cerr << "zunbarra-cli: ファイル " << options.OutputFile << " を作成できません ("
                      << std::strerror(errno) << ")\n";
            return zb::kExitUsage;
        }
    }
    zb::CliFrontEnd frontEnd(options, list);
    zb::SearchSession session(frontEnd);
    session.ServiceHost = options.Service;

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
        std::cerr << "session ended: " << zb::DescribeOutcome(outcome) << " (" << outcome.Pages
                  << (outcome.Pages == 1 ? " page, " : " pages, ") << outcome.Addresses
                  << (outcome.Addresses == 1 ? " address)\n" : " addresses)\n");
        result = interrupted ? kExitInterrupted : outcome.Normal() ? 0 : kExitError;
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
