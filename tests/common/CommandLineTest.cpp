// The command-line helper: reading options and operands, the standard requests, the reports,
// numbers and HOST[:PORT].

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/CommandLine.h"

namespace zb::test {
namespace {

// What a small program makes of its arguments: "--name VALUE" and "-o VALUE" options, a
// "--flag" and operands, written down in order.
std::string Read(const std::vector<std::string>& args) {
    ArgumentReader reader(args);
    std::string seen, value;
    while (reader.Next()) {
        if (reader.Option("--name", value) || reader.Option("-o", value))
            seen += "[" + value + "]";
        else if (reader.Flag("--flag"))
            seen += "F";
        else if (reader.Operand())
            seen += "<" + reader.Current() + ">";
        else
            reader.Reject();
    }
    if (reader.Request() == StandardRequest::Help) seen += "?help";
    if (reader.Request() == StandardRequest::Version) seen += "?version";
    return seen;
}

TEST(ArgumentReader, OptionsOperandsAndRequests) {
    const struct {
        std::vector<std::string> args;
        std::string seen;
    } cases[] = {
        {{}, ""},
        {{"--name", "a b", "x", "--flag"}, "[a b]<x>F"},
        {{"--name=", "--name=k=v"}, "[][k=v]"},
        {{"--name", "--flag"}, "[--flag]"},  // a value may look like an option
        {{"-o", "f", "-"}, "[f]<->"},
        {{"--", "--flag", "-h"}, "<--flag><-h>"},
        {{"x", "--help", "--bogus"}, "<x>?help"},  // the walk ends at a request
        {{"-h"}, "?help"},
        {{"--flag", "--version"}, "F?version"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.args), c.seen) << testing::PrintToString(c.args);
}

TEST(ArgumentReader, BadArguments) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--bogus"}, "unknown argument \"--bogus\""},
        {{"--name"}, "--name needs a value"},
        {{"--flag=on"}, "--flag takes no value"},
        {{"--names=x"}, "unknown argument \"--names=x\""},
        {{"-ofile"}, "unknown argument \"-ofile\""},
    };
    for (const auto& c : cases) {
        try {
            Read(c.args);
            ADD_FAILURE() << "accepted " << testing::PrintToString(c.args);
        } catch (const EUsageError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
    }
}

TEST(CommandLine, FindStandardRequestStopsAtDoubleDash) {
    EXPECT_EQ(FindStandardRequest({"-platform", "offscreen", "--version"}),
              StandardRequest::Version);
    EXPECT_EQ(FindStandardRequest({"--service", "h", "-h", "--version"}), StandardRequest::Help);
    EXPECT_EQ(FindStandardRequest({"--", "--help"}), StandardRequest::None);
    EXPECT_EQ(FindStandardRequest({"--helpful"}), StandardRequest::None);
}

TEST(CommandLine, AnswersAndReports) {
    const ProgramUsage program{"prog", "usage: prog [-x]\n       prog -y\n\nDoes things.\n"};
    std::ostringstream help, version, error;
    EXPECT_EQ(AnswerRequest(program, StandardRequest::Help, help), 0);
    EXPECT_EQ(help.str(), program.Help);
    EXPECT_EQ(AnswerRequest(program, StandardRequest::Version, version), 0);
    EXPECT_EQ(version.str(), std::string("prog ") + ProgramVersion() + "\n");
    EXPECT_EQ(ReportUsageError(program, "bad thing", error), 2);
    EXPECT_EQ(error.str(),
              "prog: bad thing\nusage: prog [-x]\n       prog -y\nTry 'prog --help'.\n");
}

TEST(CommandLine, Numbers) {
    EXPECT_EQ(NumberValue("--n", "0", 0, 9), 0);
    EXPECT_EQ(NumberValue("--n", "09", 0, 9), 9);
    for (const char* bad : {"", "10", "-1", "+1", " 1", "1x", "99999999999999999999"})
        EXPECT_THROW(NumberValue("--n", bad, 0, 9), EUsageError) << bad;
    try {
        NumberValue("--port", "70000", 0, 65535);
        ADD_FAILURE();
    } catch (const EUsageError& e) {
        EXPECT_EQ(e.Message, "--port needs a number from 0 to 65535, not \"70000\"");
    }
}

TEST(CommandLine, HostAndPort) {
    const struct {
        const char* text;
        bool hostOnly;  // valid as HOST[:PORT]
        bool withPort;  // valid as HOST:PORT
    } cases[] = {
        {"localhost", true, false}, {"h:1", true, true},        {"h:65535", true, true},
        {"a.b-c:80", true, true},   {"", false, false},         {":80", false, false},
        {"h:", false, false},       {"h:0", false, false},      {"h:65536", false, false},
        {"h:80x", false, false},    {"h:123456", false, false}, {"a b", false, false},
        {"a\tb:80", false, false},  {"a\x7f", false, false},    {"http://h", false, false},
        {"h/p", false, false},      {"h?q:80", false, false},   {"h#f", false, false},
        {"u@h:80", false, false},   {"a\\b", false, false},     {"[::1]:80", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidHostPort(c.text, false), c.hostOnly) << c.text;
        EXPECT_EQ(ValidHostPort(c.text, true), c.withPort) << c.text;
    }
    const HostPort proxy = HostPortValue("--proxy", "cache.local:3128", true);
    EXPECT_EQ(proxy.Host, "cache.local");
    EXPECT_EQ(proxy.Port, 3128);
    EXPECT_EQ(HostPortValue("--service", "h", false).Port, 0);
    try {
        HostPortValue("--service", "h:0", false);
        ADD_FAILURE();
    } catch (const EUsageError& e) {
        EXPECT_EQ(e.Message, "--service needs HOST or HOST:PORT, not \"h:0\"");
    }
}

}  // namespace
}  // namespace zb::test
