// Searches through the window against zunbarra-service: typing the words, clicking "Search and
// Get", the list and the title afterwards, and the window while a search runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "DebianServers.h"
#include "WindowFixture.h"
#include "common/Cp932.h"

namespace zb::test {
namespace {

using WindowSearch = WindowTest;

std::string Target(const std::string& log) {
    // "GET <target> <status>"
    const std::size_t first = log.find(' ');
    return log.substr(first + 1, log.rfind(' ') - first - 1);
}

TEST_F(WindowSearch, TypedWordsAndOptionsFillTheListAndTheTitle) {
    ServiceProcess service;
    UseService(service);
    TypeInto(Form.Edit_AndKeyWord, QString::fromUtf8("猫 画像"));
    TypeInto(Form.Edit_NotKeyWord, QString::fromUtf8("赤"));
    QTest::mouseClick(Form.CheckBox_fromJapan, Qt::LeftButton, {}, {5, 8});
    QTest::mouseClick(Form.CheckBox_AdultFilter, Qt::LeftButton, {}, {5, 8});
    ASSERT_TRUE(Form.CheckBox_fromJapan->isChecked());
    ASSERT_FALSE(Form.CheckBox_AdultFilter->isChecked());
    Click(Form.ToolbarButtonSearchGet);

    const std::vector<std::string> expected = ExpectedAddresses(
        service, "q=" + Utf8ToCp932("猫+画像+-赤") + "&imgsafe=off&lr=lang_ja", 3000);
    ASSERT_GT(expected.size(), 20u);  // more than one page
    std::vector<std::string> shown = {""};
    for (const std::string& a : expected)
        shown.push_back(a);
    QStringList lines;
    for (const std::string& s : shown)
        lines << QString::fromStdString(s);
    EXPECT_EQ(Form.Memo_URL->Lines(), lines);
    EXPECT_TRUE(Errors.empty());

    // One request a page; the title keeps the last one, decoded.
    const int pages = static_cast<int>((expected.size() + 19) / 20);
    const std::vector<std::string> log = service.WaitForLog(pages);
    ASSERT_EQ(log.size(), static_cast<std::size_t>(pages));
    const std::string last = Target(log.back());
    EXPECT_EQ(Form.windowTitle().toStdString(),
              "http://127.0.0.1:" + std::to_string(service.Port()) + Cp932ToUtf8(last));
    EXPECT_NE(
        last.find("&start=" + std::to_string((pages - 1) * 20) + "&hl=ja&imgsafe=off&lr=lang_ja"),
        std::string::npos);
    // The status bar tells how it ended.
    EXPECT_EQ(Form.StatusBar1->PanelText(0), QString("%1 pages: no further page").arg(pages));
    EXPECT_EQ(Form.StatusBar1->PanelText(1), QString::number(expected.size()));

    // Saved, byte for byte.
    SaveAnswer = Folder.File("cats.txt");
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(ReadBytes(Folder.Path() / "cats.txt"), SavedList(expected));

    // A second search appends after the first.
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_EQ(Form.Memo_URL->Lines().size(), 1 + 2 * static_cast<int>(expected.size()));
}

TEST_F(WindowSearch, TheWindowWorksWhileASearchRuns) {
    ServiceProcess service({"--images", "200"});
    UseService(service);
    TypeInto(Form.Edit_AndKeyWord, "image");
    SaveAnswer = Folder.File("mid.txt");
    std::string listAtSave;
    bool savedWhileRunning = false, refusedSecondSearch = false;
    int requestsSeenBySecondClick = 0;
    // Once the first page's addresses are in, act like a user: change the Not words, save the
    // list and press "Search and Get" again.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Form.Session->Running() || Form.SessionAddresses() < 20) return;
        poll.stop();
        TypeInto(Form.Edit_NotKeyWord, "xyzzy");
        listAtSave = Form.Memo_URL->ListBytes();
        Click(Form.ToolbarButton_SaveURLs);
        savedWhileRunning = Form.Session->Running();
        requestsSeenBySecondClick = Form.SessionPages();
        Click(Form.ToolbarButtonSearchGet);
        refusedSecondSearch = Form.StatusBar1->PanelText(0).startsWith("Still searching");
    });
    poll.start(0);
    Click(Form.ToolbarButtonSearchGet);

    EXPECT_TRUE(savedWhileRunning);
    EXPECT_TRUE(refusedSecondSearch);
    EXPECT_GE(requestsSeenBySecondClick, 1);
    EXPECT_EQ(ReadBytes(Folder.Path() / "mid.txt"), listAtSave);
    // The list then held the first page and possibly more, never the whole result.
    const std::vector<std::string> all = ExpectedAddresses(service, "q=image&imgsafe=on", 200);
    ASSERT_GT(all.size(), 40u);
    EXPECT_GT(listAtSave.size(), SavedList({all.begin(), all.begin() + 20}).size() - 1);
    EXPECT_LT(listAtSave.size(), SavedList(all).size());
    // The changed Not words applied from a later page on; one session, no second one.
    const std::vector<std::string> log = service.WaitForLog(Form.SessionPages());
    ASSERT_EQ(log.size(), static_cast<std::size_t>(Form.SessionPages()));
    EXPECT_EQ(Target(log.front()).find("+-xyzzy"), std::string::npos);
    EXPECT_NE(Target(log.back()).find("q=image+-xyzzy&"), std::string::npos);
    bool changed = false;
    for (const std::string& line : log) {
        const bool has = line.find("+-xyzzy") != std::string::npos;
        EXPECT_TRUE(has || !changed) << line;
        changed = changed || has;
    }
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WindowSearch, ClosingTheWindowStopsTheSearch) {
    // A service that never answers: only the stop ends the fetch.
    ServiceProcess service({"--delay", "600000"});
    UseService(service);
    Form.Session->NMHTTP2Zorvex->IdleTimeOut = 0;
    TypeInto(Form.Edit_AndKeyWord, "image");
    int closed = 0;
    Form.OnClosed = [&] { ++closed; };
    QTimer::singleShot(0, &Form, [&] { Form.close(); });
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(Form.Session->Running());
    EXPECT_EQ(Form.Session->LastOutcome().End, SearchEnd::Stopped);
    EXPECT_EQ(Form.StatusBar1->PanelText(0), QString("1 page: stopped"));
}

TEST_F(WindowSearch, FailedFetchEndsSilentlyWithTheReasonInTheStatusBar) {
    ServiceProcess service({"--status", "503"});
    UseService(service);
    TypeInto(Form.Edit_AndKeyWord, "image");
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Form.Memo_URL->Lines(), QStringList{""});
    EXPECT_TRUE(Form.windowTitle().startsWith("http://127.0.0.1:"));
    EXPECT_EQ(Form.StatusBar1->PanelText(0), QString("1 page: error status 503"));
    EXPECT_EQ(Form.StatusBar1->PanelText(1), QString("0"));
}

TEST_F(WindowSearch, UseProxyTakesTheHostAndAHexadecimalPort) {
    zbtest::TinyProxy proxy;
    if (!proxy.Running()) GTEST_SKIP() << proxy.Problem();
    ServiceProcess service({"--images", "40"});
    UseService(service);
    TypeInto(Form.Edit_AndKeyWord, "image");
    QTest::mouseClick(Form.CheckBox_UseProxy, Qt::LeftButton, {}, {5, 8});
    TypeInto(Form.Edit_ProxyName, "127.0.0.1");
    TypeInto(Form.NumIO_ProxyPort, QString("$%1").arg(proxy.Port(), 0, 16));
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Form.Session->NMHTTP2Zorvex->ProxyPort, proxy.Port());
    const std::vector<std::string> expected = ExpectedAddresses(service, "q=image&imgsafe=on", 40);
    EXPECT_EQ(Form.Memo_URL->Lines().size(), 1 + static_cast<int>(expected.size()));
    const std::string log = ReadBytes(proxy.Dir() + "/tinyproxy.log");
    EXPECT_NE(log.find("http://127.0.0.1:" + std::to_string(service.Port()) + "/images?q=image"),
              std::string::npos)
        << log;
    // Use Proxy off afterwards: the proxy set by the earlier search stays in force.
    QTest::mouseClick(Form.CheckBox_UseProxy, Qt::LeftButton, {}, {5, 8});
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_EQ(Form.Session->NMHTTP2Zorvex->Proxy, "127.0.0.1");
    EXPECT_EQ(Form.Memo_URL->Lines().size(), 1 + 2 * static_cast<int>(expected.size()));
}

}  // namespace
}  // namespace zb::test
