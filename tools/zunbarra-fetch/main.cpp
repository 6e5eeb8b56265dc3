// zunbarra-fetch: one HTTP/1.0 request through the project's TNMHTTP client.

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "FetchOptions.h"
#include "net/TNMHTTP.h"

namespace {

bool WriteFile(const std::string& name, const std::string& data) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

// Applies the command-line settings to the client and echoes its status messages to stderr.
void ConfigureClient(zb::TNMHTTP& http, const zb::FetchOptions& options) {
    http.TimeOut = options.TimeOut;
    http.IdleTimeOut = options.IdleTimeOut;
    http.ReportLevel = options.ReportLevel;
    http.Proxy = options.ProxyHost;
    http.ProxyPort = options.ProxyPort;
    http.HeaderInfo.UserId = options.User;
    http.HeaderInfo.Password = options.Password;
    http.HeaderInfo.Cookie = options.Cookie;
    http.CaFile = options.CaFile;
    http.Insecure = options.Insecure;
    http.HeaderInfo.LocalProgram = "zunbarra-fetch";
    if (!options.OutputFile.empty()) {
        http.InputFileMode = true;
        http.Body = options.OutputFile;
    }
    http.OnStatus = [](zb::TPowersock&, const std::string& status) {
        std::cerr << status;
        if (status.empty() || status.back() != '\n') std::cerr << '\n';
    };
}

// Sends the request with the method the options name.
void SendRequest(zb::TNMHTTP& http, const zb::FetchOptions& options) {
    const std::string& url = options.Url;
    const std::string& data = options.Data;
    const std::string& m = options.Method;
    if (m == "GET")
        http.Get(url);
    else if (m == "HEAD")
        http.Head(url);
    else if (m == "POST")
        http.Post(url, data);
    else if (m == "PUT")
        http.Put(url, data);
    else if (m == "PATCH")
        http.Patch(url, data);
    else if (m == "DELETE")
        http.Delete(url);
    else if (m == "OPTIONS")
        http.Options(url);
    else if (m == "TRACE")
        http.Trace(url, data);
    else if (m == "COPY")
        http.Copy(url, data);
    else if (m == "MOVE")
        http.Move(url, data);
    else if (m == "LINK")
        http.Link(url, data);
    else if (m == "UNLINK")
        http.Unlink(url, data);
}

// Reports the status line, saves the header when asked and writes a body kept in memory to
// stdout; returns the exit code, 2 when the output cannot be written, result otherwise.
int WriteResponse(const zb::TNMHTTP& http, const zb::FetchOptions& options, int result) {
    const std::string statusLine = http.Header.substr(0, http.Header.find('\n') + 1);
    std::cerr << statusLine;
    if (!options.HeaderFile.empty() && !WriteFile(options.HeaderFile, http.Header)) {
        std::cerr << "zunbarra-fetch: cannot write " << options.HeaderFile << '\n';
        return 2;
    }
    if (!http.InputFileMode) {
        std::fwrite(http.Body.data(), 1, http.Body.size(), stdout);
        if (std::fflush(stdout) != 0) return 2;
    }
    return result;
}

int Run(const zb::FetchOptions& options) {
    if (options.Insecure) {
        std::cerr << "zunbarra-fetch: warning: --insecure: the server's certificate is not "
                     "checked\n";
    }
    zb::TNMHTTP http;
    ConfigureClient(http, options);
    int result = 1;
    http.OnSuccess = [&](zb::CmdType) { result = 0; };
    http.OnFailure = [&](zb::CmdType) { result = 1; };
    SendRequest(http, options);
    return WriteResponse(http, options, result);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    zb::FetchOptions options;
    try {
        options = zb::ParseFetchOptions(args);
    } catch (const zb::EUsageError& e) {
        return zb::ReportUsageError(zb::kFetchUsage, e.Message, std::cerr);
    }
    if (options.Request != zb::StandardRequest::None)
        return zb::AnswerRequest(zb::kFetchUsage, options.Request, std::cout);
    QCoreApplication app(argc, argv);
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::cerr << "zunbarra-fetch: " << e.what() << '\n';
        return 2;
    }
}
