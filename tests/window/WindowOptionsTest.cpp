// The window program's command line.

#include <gtest/gtest.h>

#include "app/WindowOptions.h"

namespace zb::test {
namespace {

TEST(WindowOptions, ServiceAddress) {
    EXPECT_EQ(ParseWindowOptions({}).Service, "");
    EXPECT_EQ(ParseWindowOptions({"--service", "127.0.0.1:8930"}).Service, "127.0.0.1:8930");
    EXPECT_EQ(ParseWindowOptions({"--service=images.example"}).Service, "images.example");
    EXPECT_EQ(ParseWindowOptions({"--help"}).Request, StandardRequest::Help);
    EXPECT_EQ(ParseWindowOptions({"--version"}).Request, StandardRequest::Version);
}

TEST(WindowOptions, BadCommandLines) {
    EXPECT_THROW(ParseWindowOptions({"--service"}), EUsageError);
    EXPECT_THROW(ParseWindowOptions({"--service", "h:0"}), EUsageError);
    EXPECT_THROW(ParseWindowOptions({"--service=u@h"}), EUsageError);
    EXPECT_THROW(ParseWindowOptions({"--bogus"}), EUsageError);
    EXPECT_THROW(ParseWindowOptions({"extra"}), EUsageError);
}

}  // namespace
}  // namespace zb::test
