// The command-line conventions every program follows: -h and --help, --version, and the report
// of a bad command line, with long options given as --name=value.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolRunner.h"

namespace zb::test {
namespace {

struct Program {
    std::string name;
    std::string path;
    std::vector<std::string> badValue;  // a bad value given as --name=value
    std::string complaint;              // what the report says about it
};

const std::vector<Program>& Programs() {
    static const std::vector<Program> programs = {
        {"zunbarra", ZB_WINDOW_EXE, {"--service=h:0"}, "--service needs HOST or HOST:PORT"},
        {"zunbarra-cli", ZB_CLI_EXE, {"--and", "x", "--adult-filter=maybe"}, "\"maybe\""},
        {"zunbarra-fetch", ZB_FETCH_EXE, {"--proxy=h:0", "http://h/"}, "--proxy needs HOST:PORT"},
        {"zunbarra-regex", ZB_REGEX_TOOL, {"compile", "--line-markers=cr", "a"}, "\"cr\""},
        {"zunbarra-service", ZB_SERVICE_EXE, {"--port=70000"}, "--port needs a number"},
    };
    return programs;
}

TEST(ProgramConventions, HelpAndVersion) {
    for (const Program& p : Programs()) {
        const ToolResult help = runTool(p.path, {"--help"});
        EXPECT_EQ(help.status, 0) << p.name;
        EXPECT_EQ(help.out.rfind("usage: " + p.name + " ", 0), 0u) << p.name;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << p.name;
        EXPECT_EQ(help.err, "") << p.name;
        EXPECT_EQ(runTool(p.path, {"-h"}).out, help.out) << p.name;

        const ToolResult version = runTool(p.path, {"--version"});
        EXPECT_EQ(version.status, 0) << p.name;
        EXPECT_EQ(version.out, p.name + " " + ZB_PROJECT_VERSION + "\n");
        EXPECT_EQ(version.err, "") << p.name;
    }
}

TEST(ProgramConventions, BadCommandLines) {
    for (const Program& p : Programs()) {
        const ToolResult unknown = runTool(p.path, {"--bogus"});
        EXPECT_EQ(unknown.status, 2) << p.name;
        EXPECT_EQ(unknown.out, "") << p.name;
        EXPECT_EQ(unknown.err.rfind(p.name + ": unknown argument \"--bogus\"\nusage: " + p.name, 0),
                  0u)
            << unknown.err;
        const std::string tryHelp = "\nTry '" + p.name + " --help'.\n";
        EXPECT_TRUE(unknown.err.ends_with(tryHelp)) << unknown.err;

        const ToolResult bad = runTool(p.path, p.badValue);
        EXPECT_EQ(bad.status, 2) << p.name;
        EXPECT_EQ(bad.err.rfind(p.name + ": ", 0), 0u) << bad.err;
        EXPECT_NE(bad.err.find(p.complaint), std::string::npos) << bad.err;
        EXPECT_TRUE(bad.err.ends_with(tryHelp)) << bad.err;
    }
}

}  // namespace
}  // namespace zb::test
