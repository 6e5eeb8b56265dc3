// The zunbarra program's command line (the window itself is tested in this process).

#include <gtest/gtest.h>

#include "ServiceProcess.h"

namespace zb::test {
namespace {

TEST(Program, HelpAndBadCommandLines) {
    const ProgramRun help = RunProgram(ZB_WINDOW_EXE, {"--help"});
    EXPECT_EQ(help.ExitStatus, 0);
    EXPECT_NE(help.Out.find("usage: zunbarra [--service HOST[:PORT]]"), std::string::npos);
    EXPECT_EQ(help.Err, "");

    const ProgramRun bad = RunProgram(ZB_WINDOW_EXE, {"--service", "127.0.0.1:0"});
    EXPECT_EQ(bad.ExitStatus, 2);
    EXPECT_NE(bad.Err.find("--service needs HOST or HOST:PORT, not \"127.0.0.1:0\""),
              std::string::npos)
        << bad.Err;
    const ProgramRun unknown = RunProgram(ZB_WINDOW_EXE, {"--bogus"});
    EXPECT_EQ(unknown.ExitStatus, 2);
    EXPECT_NE(unknown.Err.find("unknown argument \"--bogus\""), std::string::npos) << unknown.Err;
    // A profile that cannot be used is refused before a window opens.
    const ProgramRun profile = RunProgram(ZB_WINDOW_EXE, {"--profile", "/nonexistent.ini"});
    EXPECT_EQ(profile.ExitStatus, 2);
    EXPECT_EQ(profile.Err, "zunbarra: /nonexistent.ini: cannot read the profile file\n");
}

}  // namespace
}  // namespace zb::test
