#pragma once
// Fakes for driving a search session without a network: a front end with plain fields that
// records the outputs, and a client that answers each request from a script, writing the page
// into the file named by Body as the real client does.

#include <unistd.h>

#include <QCoreApplication>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SearchFrontEnd.h"
#include "net/TNMHTTP.h"

namespace zb::test {

inline void EnsureApp() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A folder of its own for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = testing::TempDir() + "zb-app-XXXXXX";
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : testing::TempDir();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FakeFrontEnd : public SearchFrontEnd {
public:
    std::string And = "cat";
    std::string Not;
    bool Adult = true;
    bool Japanese = false;
    bool Proxy = false;
    std::string ProxyHostText;
    std::string ProxyPortText;

    std::vector<std::string> Requests;   // every request address published
    std::vector<std::string> Addresses;  // every address appended
    // Run after each request address is published and after each address is appended (a user
    // acting during the session).
    std::function<void(int page)> OnRequest;
    std::function<void(int count)> OnAppend;

    std::string AndWords() const override { return And; }
    std::string NotWords() const override { return Not; }
    bool AdultFilter() const override { return Adult; }
    bool JapanesePagesOnly() const override { return Japanese; }
    bool UseProxy() const override { return Proxy; }
    std::string ProxyHost() const override { return ProxyHostText; }
    std::string ProxyPort() const override { return ProxyPortText; }
    void SetRequestAddress(const std::string& address) override {
        Requests.push_back(address);
        if (OnRequest) OnRequest(static_cast<int>(Requests.size()));
    }
    void AppendAddress(const std::string& address) override {
        Addresses.push_back(address);
        if (OnAppend) OnAppend(static_cast<int>(Addresses.size()));
    }
};

// One scripted answer.
struct FakeReply {
    std::string Page;  // body written to the page file
    int Status = 200;
    std::string Error;             // when not empty, the request raises ESockError with it
    bool WriteFile = true;         // false: report success without writing the page file
    std::function<void()> During;  // runs while the request is "on the wire"
};

// What the client saw when a request went out.
struct FakeRequest {
    std::string Url;
    std::string Proxy;
    int ProxyPort = 0;
    bool PageFileExisted = false;  // the page file was there when the request began
};

class FakeClient : public TNMHTTP {
public:
    std::deque<FakeReply> Replies;  // one per request; an empty script answers 404
    std::vector<FakeRequest> Seen;

    void ExecuteRequest() override {
        Seen.push_back({URL(), Proxy, ProxyPort, std::filesystem::exists(Body)});
        FakeReply reply;
        if (Replies.empty()) {
            reply.Status = 404;
        } else {
            reply = Replies.front();
            Replies.pop_front();
        }
        if (reply.During) reply.During();
        if (!reply.Error.empty()) throw ESockError(reply.Error);
        if (reply.WriteFile && InputFileMode) {
            std::ofstream(Body, std::ios::binary) << reply.Page;
        }
        FReplyNumber = static_cast<std::int16_t>(reply.Status);
        if (reply.Status < 299 && OnSuccess) OnSuccess(CmdGET);
    }
};

// A result page: one image-link line per path, then the marker line when more pages follow.
inline std::string ResultPage(const std::vector<std::string>& paths, bool more) {
    std::string page = "<html><body>\n<a href=/><img src=/images/logo.gif width=150></a>\n";
    for (const std::string& p : paths) {
        page += "<a href=/imgres?imgurl=x><img src=" + p + " width=120 height=90></a>\n";
    }
    if (more) page += "<td><a href=/images?q=x&start=20><img src=/images/nav_next.gif></a>\n";
    return page + "</body></html>\n";
}

}  // namespace zb::test
