#include <gtest/gtest.h>

#include <string>

#include "common/RetryAfter.h"

namespace zb {
namespace {

// 1994-11-06 08:49:37 UTC
constexpr std::int64_t kNow = 784111777;

TEST(RetryAfter, WaitBeforeARetry) {
    struct Case {
        std::string value;
        int retry;
        int ms;
    } cases[] = {
        {"2", 0, 2000},
        {" 7 ", 3, 7000},
        {"0", 0, 0},
        {"60", 0, 60000},
        {"61", 0, 60000},
        {"99999999999999999999999", 0, 60000},
        // Absent or unusable values: 1 s, 2 s, 4 s... at most 60 s.
        {"", 0, 1000},
        {"", 1, 2000},
        {"", 2, 4000},
        {"", 5, 32000},
        {"", 6, 60000},
        {"", 40, 60000},
        {"-5", 1, 2000},
        {"1.5", 0, 1000},
        {"soon", 0, 1000},
        // HTTP dates, relative to now; a date already past counts as none.
        {"Sun, 06 Nov 1994 08:49:47 GMT", 0, 10000},
        {"Sunday, 06-Nov-94 08:49:40 GMT", 0, 3000},
        {"Sun Nov  6 08:49:42 1994", 0, 5000},
        {"Sun, 06 Nov 1994 09:49:37 GMT", 0, 60000},
        {"Sun, 06 Nov 1994 08:49:37 GMT", 2, 4000},
        {"Sat, 05 Nov 1994 08:49:37 GMT", 0, 1000},
        {"Sun, 06 Nov 1994 08:49:47 PST", 0, 1000},
        {"Sun, 06 Nov 1994 08:49:47", 0, 1000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RetryWaitMs(c.value, c.retry, kNow), c.ms) << '"' << c.value << "\" " << c.retry;
}

TEST(RetryAfter, HttpDateForms) {
    EXPECT_EQ(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), kNow);
    EXPECT_EQ(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), kNow);
    EXPECT_EQ(ParseHttpDate("Sun Nov  6 08:49:37 1994"), kNow);
    EXPECT_EQ(ParseHttpDate("Thu, 01 Jan 1970 00:00:00 GMT"), 0);
    EXPECT_EQ(ParseHttpDate("Tue, 29 Feb 2028 23:59:59 GMT"), 1835481599);
    EXPECT_FALSE(ParseHttpDate("06 Nov 1994 08:49:37 GMT"));
    EXPECT_FALSE(ParseHttpDate("Sun, 06 Nov 1994 25:49:37 GMT"));
    EXPECT_FALSE(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT trailing"));
}

}  // namespace
}  // namespace zb
