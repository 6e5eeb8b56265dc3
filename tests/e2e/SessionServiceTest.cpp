#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "ServiceProcess.h"
#include "SessionFakes.h"
#include "app/SearchSession.h"

namespace zb::test {
namespace {

// The session in this process with the real client against the service.
class SessionAgainstService : public testing::Test {
protected:
    SessionAgainstService() {
        EnsureApp();
        front.And = "image";
        front.Adult = false;
    }

    std::unique_ptr<SearchSession> MakeSession(const ServiceProcess& service) {
        auto session = std::make_unique<SearchSession>(front);
        session->ServiceHost = "127.0.0.1:" + std::to_string(service.Port());
        session->PageFile = (folder.Path() / "tmp.htm").string();
        return session;
    }

    TempFolder folder;
    FakeFrontEnd front;
};

TEST_F(SessionAgainstService, SearchingTwiceAppendsTheSecondRun) {
    ServiceProcess service({"--images", "100"});
    auto session = MakeSession(service);
    EXPECT_TRUE(session->ToolbarButtonSearchGetClick());
    EXPECT_TRUE(session->ToolbarButtonSearchGetClick());
    const std::vector<std::string> once =
        ExpectedAddresses(service.Port(), "q=image&imgsafe=off", 100);
    ASSERT_EQ(once.size(), 100u);
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(front.Addresses, twice);
    EXPECT_EQ(front.Requests.size(), 10u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::NoNextPage);
    EXPECT_EQ(session->LastOutcome().Pages, 5);
}

TEST_F(SessionAgainstService, ServerThatStopsAnsweringEndsTheSession) {
    ServiceProcess service({"--images", "100", "--delay", "600000"});
    auto session = MakeSession(service);
    // The default keeps a silent server from hanging the session; shortened here.
    EXPECT_GT(session->NMHTTP2Zorvex->IdleTimeOut, 0);
    session->NMHTTP2Zorvex->IdleTimeOut = 200;
    session->ToolbarButtonSearchGetClick();
    EXPECT_TRUE(front.Addresses.empty());
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::FetchError);
    EXPECT_FALSE(session->LastOutcome().Message.empty());
}

TEST_F(SessionAgainstService, StopFromTheEventLoopAbortsTheFetch) {
    ServiceProcess service({"--images", "100", "--delay", "600000"});
    auto session = MakeSession(service);
    // A silent server and no idle limit: only the stop can end this fetch.
    session->NMHTTP2Zorvex->IdleTimeOut = 0;
    const QObject context;  // takes a timer that did not fire along when the test ends
    QTimer::singleShot(0, &context, [&] { session->Stop(); });
    session->ToolbarButtonSearchGetClick();
    EXPECT_TRUE(front.Addresses.empty());
    EXPECT_EQ(front.Requests.size(), 1u);
    EXPECT_EQ(session->LastOutcome().End, SearchEnd::Stopped);
}

TEST_F(SessionAgainstService, EventsRunWhileTheSessionWorks) {
    ServiceProcess service({"--images", "100"});
    auto session = MakeSession(service);
    // A command given from the event loop while the session runs is refused.
    int refused = 0;
    const QObject context;
    front.OnRequest = [&](int) {
        QTimer::singleShot(0, &context,
                           [&] { refused += session->ToolbarButtonSearchGetClick() ? 0 : 1; });
    };
    session->ToolbarButtonSearchGetClick();
    EXPECT_EQ(refused, 5);
    EXPECT_EQ(front.Requests.size(), 5u);
    EXPECT_EQ(front.Addresses.size(), 100u);
}

}  // namespace
}  // namespace zb::test
