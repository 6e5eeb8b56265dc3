#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "SessionFakes.h"
#include "app/SearchSession.h"

namespace zb::test {
namespace {

const std::string kHost = "svc.test:81";

class SessionTest : public testing::Test {
protected:
    SessionTest() {
        EnsureApp();
        auto fake = std::make_unique<FakeClient>();
        client = fake.get();
        session = std::make_unique<SearchSession>(front, std::move(fake));
        session->ServiceHost = kHost;
        session->PageFile = (folder.Path() / "tmp.htm").string();
    }

    void Reply(const std::vector<std::string>& paths, bool more) {
        FakeReply r;
        r.Page = ResultPage(paths, more);
        client->Replies.push_back(r);
    }
    void ReplyPage(const std::string& page) {
        FakeReply r;
        r.Page = page;
        client->Replies.push_back(r);
    }

    // The q value of request i.
    std::string Query(std::size_t i) const {
        const std::string& a = front.Requests.at(i);
        const std::size_t from = a.find("?q=") + 3;
        return a.substr(from, a.find("&num=") - from);
    }
    static std::string Thumb(const std::string& id) { return "/images?q=tbn:" + id; }
    static std::string Address(const std::string& id) { return "http://" + kHost + Thumb(id); }

    TempFolder folder;
    FakeFrontEnd front;
    FakeClient* client = nullptr;
    std::unique_ptr<SearchSession> session;
};

// Inputs ------------------------------------------------------------------------------------

TEST_F(SessionTest, InputsAreReadAfreshOnEveryPage) {
    Reply({Thumb("a")}, true);
    Reply({Thumb("b")}, true);
    Reply({Thumb("c")}, false);
    front.OnRequest = [&](int page) {
        if (page == 1) {
            front.And = "dog";
            front.Adult = false;
        }
        if (page == 2) front.And = "";  // only the first reading is tested
    };
    session->ToolbarButtonSearchGetClick();
    ASSERT_EQ(front.Requests.size(), 3u);
    EXPECT_EQ(Query(0), "cat");
    EXPECT_EQ(Query(1), "dog");
    EXPECT_TRUE(front.Requests[1].ends_with("imgsafe=off"));
    EXPECT_EQ(Query(2), "");
}

// Page loop ---------------------------------------------------------------------------------

TEST_F(SessionTest, EmptyAndWordsFetchNothing) {
    front.And = "";
    EXPECT_TRUE(session->ToolbarButtonSearchGetClick());
    EXPECT_TRUE(front.Requests.empty());
    EXPECT_TRUE(client->Seen.empty());
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoWords);
}

TEST_F(SessionTest, FollowsTheMarkerAndEndsOnAPageWithout) {
    Reply({Thumb("a"), Thumb("b")}, true);
    // Two marker lines mean one further page.
    ReplyPage(ResultPage({Thumb("c")}, true) + "<img src=/images/nav_next.gif>\n");
    Reply({Thumb("d")}, false);
    Reply({Thumb("never")}, false);
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(front.Addresses,
              (std::vector<std::string>{Address("a"), Address("b"), Address("c"), Address("d")}));
    const SearchOutcome& o = session->LastOutcome();
    EXPECT_EQ(o.End, SearchEnd::NoNextPage);
    EXPECT_EQ(o.Pages, 3);
    EXPECT_EQ(o.Addresses, 4);
    EXPECT_EQ(client->Replies.size(), 1u);
}

TEST_F(SessionTest, PageFileSettingIsWhereThePageGoes) {
    const std::filesystem::path other = folder.Path() / "elsewhere.htm";
    session->PageFile = other.string();
    Reply({Thumb("a")}, false);
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(front.Addresses, std::vector<std::string>{Address("a")});
    EXPECT_NE(ReadFile(other).find(Thumb("a")), std::string::npos);
}

// Address extraction ------------------------------------------------------------------------

TEST_F(SessionTest, OneAddressPerLineFromItsFirstSrc) {
    ReplyPage(
        "<img src=/images?q=tbn:A width=1><img src=/images?q=tbn:B width=2>"
        "<img src=/images?q=tbn:C width=3>\n"
        "<img src=/images?q=tbn:D>\n"                     // no width: to the line's end
        "<img src=/images?q=tbn:E<img src=/x width=1>\n"  // ends before the second src=
        "<img src=/images/logo.gif width=1>\n"            // not an image link
        "<img src=/images?q=tbn:F>\r\n"                   // CR LF line end
        "<img src=/images?q=tbn:G width=9>");             // last line without line end
    session->ToolbarButtonSearchGetClick();
    const std::string prefix = "http://" + kHost;
    EXPECT_EQ(front.Addresses,
              (std::vector<std::string>{Address("A"), Address("D") + ">", Address("E") + "<img ",
                                        Address("F") + ">", Address("G")}));
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoNextPage);
}

// Failures ----------------------------------------------------------------------------------

TEST_F(SessionTest, ErrorStatusPageIsNotScanned) {
    FakeReply r;
    r.Status = 404;
    r.Page = ResultPage({Thumb("a")}, true);
    client->Replies.push_back(r);
    session->ToolbarButtonSearchGetClick();
    EXPECT_TRUE(front.Addresses.empty());
    EXPECT_EQ(client->Seen.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::ErrorStatus);
    EXPECT_EQ(session->LastOutcome().Status, 404);
    EXPECT_EQ(DescribeOutcome(session->LastOutcome()), "error status 404");
}

TEST_F(SessionTest, MissingPageFileIsAScanError) {
    FakeReply r;
    r.WriteFile = false;
    client->Replies.push_back(r);
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::ScanError);
    EXPECT_FALSE(session->LastOutcome().Message.empty());
}

TEST_F(SessionTest, OldPageIsDeletedBeforeEachFetch) {
    std::ofstream(session->PageFile) << ResultPage({Thumb("old")}, true);
    FakeReply r;
    r.WriteFile = false;  // success reported, but nothing written
    client->Replies.push_back(r);
    session->ToolbarButtonSearchGetClick();
    ASSERT_EQ(client->Seen.size(), 1u);
    EXPECT_FALSE(client->Seen[0].PageFileExisted);
    EXPECT_TRUE(front.Addresses.empty());
}

// Proxy -------------------------------------------------------------------------------------

TEST_F(SessionTest, ProxyPortTextIsConverted) {
    front.Proxy = true;
    front.ProxyHostText = "proxy.test";
    front.ProxyPortText = "8080";
    session->ToolbarButtonSearchGetClick();
    front.ProxyPortText = " $1F91";
    session->ToolbarButtonSearchGetClick();
    ASSERT_EQ(client->Seen.size(), 2u);
    EXPECT_EQ(client->Seen[0].Proxy, "proxy.test");
    EXPECT_EQ(client->Seen[0].ProxyPort, 8080);
    EXPECT_EQ(client->Seen[1].ProxyPort, 8081);
}

TEST_F(SessionTest, PortThatIsNotAnIntegerStopsTheCommand) {
    front.Proxy = true;
    front.ProxyHostText = "proxy.test";
    for (const std::string port : {"", "80.5", "1e3", "8080 ", "%101"}) {
        front.ProxyPortText = port;
        try {
            session->ToolbarButtonSearchGetClick();
            ADD_FAILURE() << "no error for '" << port << "'";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "'" + port + "' は整数ではありません");
        }
        EXPECT_FALSE(session->Running());
    }
    EXPECT_TRUE(client->Seen.empty());
    EXPECT_TRUE(front.Requests.empty());
    // The host was assigned before the conversion failed.
    EXPECT_EQ(client->Proxy, "proxy.test");
}

TEST_F(SessionTest, ProxyStaysInForceWhenUseProxyIsOff) {
    front.Proxy = true;
    front.ProxyHostText = "proxy.test";
    front.ProxyPortText = "3128";
    session->ToolbarButtonSearchGetClick();
    front.Proxy = false;
    front.ProxyHostText = "ignored";
    front.ProxyPortText = "junk";
    session->ToolbarButtonSearchGetClick();
    ASSERT_EQ(client->Seen.size(), 2u);
    EXPECT_EQ(client->Seen[1].Proxy, "proxy.test");
    EXPECT_EQ(client->Seen[1].ProxyPort, 3128);
}

// Commands during a session -----------------------------------------------------------------

TEST_F(SessionTest, SecondSearchDuringASessionIsRefused) {
    bool nested = true;
    FakeReply r;
    r.Page = ResultPage({Thumb("a")}, false);
    r.During = [&] {
        EXPECT_TRUE(session->Running());
        front.Proxy = true;
        front.ProxyHostText = "proxy.test";
        front.ProxyPortText = "junk";  // would raise if the refused command looked at it
        nested = session->ToolbarButtonSearchGetClick();
        front.Proxy = false;
    };
    client->Replies.push_back(r);
    Reply({Thumb("b")}, false);
    EXPECT_TRUE(session->ToolbarButtonSearchGetClick());
    EXPECT_FALSE(nested);
    EXPECT_EQ(client->Seen.size(), 1u);
    EXPECT_EQ(client->Proxy, "");
    EXPECT_EQ(front.Addresses, std::vector<std::string>{Address("a")});
    EXPECT_FALSE(session->Running());
    // Once the session has ended, the command works again.
    EXPECT_TRUE(session->ToolbarButtonSearchGetClick());
    EXPECT_EQ(client->Seen.size(), 2u);
}

TEST_F(SessionTest, StopDuringAFetchEndsAfterThatPage) {
    FakeReply r;
    r.Page = ResultPage({Thumb("a")}, true);
    r.During = [&] { session->Stop(); };
    client->Replies.push_back(r);
    Reply({Thumb("b")}, false);
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(client->Seen.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::Stopped);
    // The next search runs normally.
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoNextPage);
    EXPECT_EQ(front.Addresses.back(), Address("b"));
}

TEST_F(SessionTest, StopDuringTheScanCancelsIt) {
    std::vector<std::string> many;
    for (int i = 0; i < 10; ++i)
        many.push_back(Thumb("n" + std::to_string(i)));
    Reply(many, true);
    front.OnAppend = [&](int count) {
        if (count == 2) session->Stop();
    };
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(front.Addresses.size(), 2u);
    EXPECT_EQ(client->Seen.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::Stopped);
}

TEST_F(SessionTest, StopWithoutASessionDoesNothing) {
    session->Stop();
    Reply({Thumb("a")}, false);
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoNextPage);
    EXPECT_EQ(front.Addresses.size(), 1u);
}

// Pauses and retries ------------------------------------------------------------------------

TEST_F(SessionTest, PauseIsToldBeforeEachPageAfterTheFirst) {
    Reply({Thumb("a")}, true);
    Reply({Thumb("b")}, true);
    Reply({}, false);
    std::vector<SearchWait> waits;
    session->PageDelayMs = 1;
    session->OnWait = [&](const SearchWait& w) { waits.push_back(w); };
    session->ToolbarButtonSearchGetClick();
    ASSERT_EQ(waits.size(), 2u);
    EXPECT_EQ(waits[0].Retry, 0);
    EXPECT_EQ(waits[0].Ms, 1);
    EXPECT_EQ(session->LastOutcome().Pages, 3);
    EXPECT_EQ(session->LastOutcome().LastPageAddresses, 0);
}

TEST_F(SessionTest, BusyPageIsFetchedAgainAfterItsRetryAfter) {
    FakeReply busy;
    busy.Status = 503;
    client->Replies.push_back(busy);
    Reply({Thumb("a")}, false);
    client->Header = "HTTP/1.0 503 Busy\r\nretry-after:  0\r\n\r\n";
    std::vector<SearchWait> waits;
    session->Retries = 2;
    session->OnWait = [&](const SearchWait& w) { waits.push_back(w); };
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(client->Seen.size(), 2u);
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].Retry, 1);
    EXPECT_EQ(waits[0].Ms, 0);
    EXPECT_EQ(waits[0].Status, 503);
    EXPECT_EQ(waits[0].RetryAfter, "0");
    EXPECT_EQ(front.Requests.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoNextPage);
    EXPECT_EQ(session->LastOutcome().LastPageAddresses, 1);
}

TEST_F(SessionTest, StopDuringAPauseEndsTheSessionAtOnce) {
    Reply({Thumb("a")}, true);
    Reply({Thumb("b")}, false);
    session->PageDelayMs = 600000;
    session->OnWait = [&](const SearchWait&) { session->Stop(); };
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(client->Seen.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::Stopped);
}

}  // namespace
}  // namespace zb::test
