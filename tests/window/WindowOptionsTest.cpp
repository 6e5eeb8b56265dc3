// The window program's command line.

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/WindowOptions.h"

namespace zb::test {
namespace {

TEST(WindowOptions, ServiceAddress) {
    EXPECT_EQ(ParseWindowOptions({}).Service, "");
    EXPECT_EQ(ParseWindowOptions({"--service", "127.0.0.1:8930"}).Service, "127.0.0.1:8930");
    EXPECT_EQ(ParseWindowOptions({"--service=images.example"}).Service, "images.example");
    EXPECT_TRUE(ParseWindowOptions({"--help"}).Help);
    for (const char* good : {"localhost", "h:1", "h:65535", "a.b-c:80"})
        EXPECT_TRUE(ValidServiceAddress(good)) << good;
    for (const char* bad : {"", ":80", "h:", "h:0", "h:65536", "h:80x", "h:123456", "a b",
                            "http://h", "h/p", "u@h", "[::1]:80"})
        EXPECT_FALSE(ValidServiceAddress(bad)) << bad;
}

TEST(WindowOptions, BadCommandLines) {
    EXPECT_THROW(ParseWindowOptions({"--service"}), std::invalid_argument);
    EXPECT_THROW(ParseWindowOptions({"--service", "h:0"}), std::invalid_argument);
    EXPECT_THROW(ParseWindowOptions({"--bogus"}), std::invalid_argument);
    EXPECT_THROW(ParseWindowOptions({"extra"}), std::invalid_argument);
}

}  // namespace
}  // namespace zb::test
