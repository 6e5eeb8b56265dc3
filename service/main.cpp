// zunbarra-service: the local image-search service. See ServiceOptions.cpp for the command line.

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "common/CommandLine.h"
#include "service/CorpusGenerator.h"
#include "service/ExpectedHits.h"
#include "service/ImageService.h"
#include "service/ServiceOptions.h"
#include "service/ServiceServer.h"

namespace {

zb::ServiceServer* g_server = nullptr;

extern "C" void OnStopSignal(int) {
    if (g_server != nullptr) g_server->Stop();
}

}  // namespace

int main(int argc, char** argv) {
    zb::ServiceOptions options;
    try {
        options = zb::ParseServiceOptions({argv + 1, argv + argc});
    } catch (const zb::EUsageError& e) {
        return zb::ReportUsageError(zb::kServiceUsage, e.Message, std::cerr);
    }
    if (options.Request != zb::StandardRequest::None)
        return zb::AnswerRequest(zb::kServiceUsage, options.Request, std::cout);
    try {
        const zb::ImageCorpus corpus =
            zb::GenerateCorpus(options.Images > 0 ? options.Images : zb::kDefaultCorpusSize);
        if (options.Expect) {
            for (const std::string& path :
                 zb::ExpectedThumbnailPaths(corpus, options.ExpectQuery, options.Layout)) {
                std::cout << path << "\n";
            }
            return 0;
        }

        const zb::ImageService service(corpus, options.Layout);
        zb::ServiceServer server(service, options.Faults);
        // Stop signals are handled before the port is announced: a client that reads the port
        // may stop the service at once.
        g_server = &server;
        struct ResetOnExit {
            ~ResetOnExit() { g_server = nullptr; }
        } resetOnExit;
        struct sigaction stop {};
        stop.sa_handler = OnStopSignal;
        sigemptyset(&stop.sa_mask);
        sigaction(SIGINT, &stop, nullptr);
        sigaction(SIGTERM, &stop, nullptr);
        std::signal(SIGPIPE, SIG_IGN);
        const int port = server.Listen(options.Host, options.Port);
        std::cout << "port=" << port << "\n"
                  << "serving " << corpus.Size() << " images at http://"
                  << (options.Host.find(':') != std::string::npos ? "[" + options.Host + "]"
                                                                  : options.Host)
                  << ":" << port << "/" << std::endl;

        server.Run();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "zunbarra-service: " << e.what() << "\n";
        return 1;
    }
}
