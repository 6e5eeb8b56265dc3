// Error table, header list, URL decoder and the HTTP text helpers.

#include <gtest/gtest.h>

#include <cerrno>

#include "common/Exception.h"
#include "net/SockErrorTable.h"
#include "net/TExStringList.h"
#include "net/TNMURL.h"

namespace zb {
namespace {

TEST(SockErrorTable, MessagesCarryNumberAndText) {
    EXPECT_EQ(SockErrorMessage(10061), "10061:Connection refused");
    EXPECT_EQ(SockErrorMessage(11004), "11004:Valid name, no data record of requested type");
    EXPECT_EQ(SockErrorMessage(10093), "10093:Successful WSAStartup not yet performed");
    EXPECT_EQ(SockErrorMessage(12345), "Unknown Error No. 12345");
    EXPECT_EQ(SockErrorMessage(0), "");
}

TEST(SockErrorTable, ErrnoMapsOntoTheTable) {
    EXPECT_EQ(SockErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(SockErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(SockErrorFromErrno(EAGAIN), 10035);
    EXPECT_EQ(SockErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(SockErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(SockErrorFromErrno(EADDRINUSE), 10048);
    // Every mapped errno lands on a number the table knows.
    for (int err = 1; err < 135; ++err) {
        const int code = SockErrorFromErrno(err);
        if (code != err) {
            EXPECT_FALSE(SockErrorText(code).empty()) << "errno " << err;
        }
    }
}

TEST(ExStringList, SetValueReplacesInPlaceOrAppends) {
    TExStringList list;
    list.Add("GET / HTTP/1.0");
    list.Add("host: old");
    list.Add("Accept: */*");
    list.SetValue("Host", "new.example");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1], "Host: new.example");
    list.SetValue("Cookie", "a=1");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], "Cookie: a=1");
    list.SetValue("Cookie", "");
    EXPECT_EQ(list.Count(), 3);
    list.SetValue("Referer", "");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(), "GET / HTTP/1.0\r\nHost: new.example\r\nAccept: */*\r\n");
}

TEST(ExStringList, IndexOfNameNeedsTheColonRightAfterTheName) {
    TExStringList list;
    list.Add("Content-Length 12");
    list.Add("x");
    list.Add("content-length: 5");
    EXPECT_EQ(list.IndexOfName("Content-Length"), 2);
    EXPECT_EQ(list.IndexOfName("x"), -1);
    EXPECT_EQ(list.IndexOfName(" content-length"), -1);
}

TEST(ExStringList, SortedListSearchesBinaryAndRefusesWrites) {
    TExStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.IndexOfName("a"), -1);
    for (const char* line : {"Zeta: 1", "alpha: 2", "Mid: 3", "beta: 4", "Omega: 5"})
        list.Add(line);
    EXPECT_EQ(list[0], "alpha: 2");
    EXPECT_EQ(list[list.IndexOfName("MID")], "Mid: 3");
    EXPECT_EQ(list[list.IndexOfName("zeta")], "Zeta: 1");
    EXPECT_EQ(list.IndexOfName("gamma"), -1);
    EXPECT_THROW(list.SetValue("beta", "9"), Exception);
    EXPECT_THROW(list[7], Exception);
}

TEST(NMURL, DecodesPlusAndPercentEscapes) {
    TNMURL url;
    EXPECT_EQ(url.Decode("a+b%41%2f"), "a bA/");
    EXPECT_EQ(url.Decode("%82%a0"), "\x82\xa0");
    const std::string withNul = url.Decode("x%00y");
    ASSERT_EQ(withNul.size(), 3u);
    EXPECT_EQ(withNul[1], '\0');
    url.InputString = "q=%7e";
    EXPECT_EQ(url.Decoded(), "q=~");
}

TEST(NMURL, MalformedEscapeReturnsInputAndReportsError) {
    TNMURL url;
    std::string operation;
    int calls = 0;
    url.OnError = [&](TNMURL&, const std::string& op, const std::string& message) {
        operation = op;
        EXPECT_FALSE(message.empty());
        ++calls;
    };
    EXPECT_EQ(url.Decode("abc%4"), "abc%4");
    EXPECT_EQ(operation, "Error during decode");
    EXPECT_EQ(url.Decode("%zz+"), "%zz+");
    EXPECT_EQ(url.Decode("100%"), "100%");
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace zb
