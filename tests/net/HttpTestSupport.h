#pragma once
// Helpers shared by the HTTP client tests.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ScriptedServer.h"
#include "TestApp.h"
#include "net/TNMHTTP.h"

namespace zbtest {

// The two Accept lines and the content type that every request carries.
inline const std::string kStandardLines =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
    "Content-type: application/x-www-form-urlencoded\r\n";

inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Url(const ScriptedServer& server, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
}

// Counts the outcome events of a client.
struct Outcome {
    int success = 0;
    int failure = 0;
    int redirect = 0;
    int auth = 0;
    zb::CmdType lastCmd = zb::CmdTRACE;

    void Attach(zb::TNMHTTP& http) {
        http.OnSuccess = [this](zb::CmdType cmd) {
            ++success;
            lastCmd = cmd;
        };
        http.OnFailure = [this](zb::CmdType cmd) {
            ++failure;
            lastCmd = cmd;
        };
        http.OnAuthenticationNeeded = [this](zb::TPowersock&) { ++auth; };
    }
};

// Creates the application before any member of a fixture needs it.
struct AppHolder {
    AppHolder() { EnsureApp(); }
};

class HttpTest : private AppHolder, public ::testing::Test {
protected:
    void SetUp() override {
        http.TimeOut = 5000;
        http.IdleTimeOut = 10000;  // a broken test fails instead of hanging
        outcome.Attach(http);
    }

    zb::TNMHTTP http;
    Outcome outcome;
};

}  // namespace zbtest
