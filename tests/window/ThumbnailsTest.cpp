// The Thumbnails window against zunbarra-service: what each tile shows, that a hidden window
// fetches nothing, saving a tile's picture, showing the tile of a list line, and the settings
// its transfers take from the window.

#include <gtest/gtest.h>

#include <QListView>
#include <QMenu>
#include <QTest>

#include "WindowFixture.h"
#include "app/ThumbnailModel.h"

namespace zb::test {
namespace {

class Thumbnails : public WindowTest {
protected:
    Thumbnails() { UseService(Service); }
    std::string Address(const std::string& target) const {
        return "http://127.0.0.1:" + std::to_string(Service.Port()) + target;
    }
    // The tile's state once its transfer has ended.
    TileState Settled(int row) const {
        ThumbnailModel* model = Form.Thumbnails->Model();
        for (int i = 0; i < 500; ++i) {
            if (row < model->rowCount()) {
                const TileState state = model->State(row);
                if (state == TileState::Loaded || state == TileState::Failed) return state;
            }
            QTest::qWait(10);
        }
        return row < model->rowCount() ? model->State(row) : TileState::Waiting;
    }
    // How many thumbnail requests the service logged.
    int ThumbnailRequests() {
        int count = 0;
        for (const std::string& line : Service.WaitForLog(0))
            if (line.find("tbn:") != std::string::npos) ++count;
        return count;
    }

    ServiceProcess Service{{"--images", "100"}};
};

TEST_F(Thumbnails, TilesShowThePictureOrNameTheFailure) {
    const std::vector<std::string> found = ExpectedAddresses(Service, "q=image&imgsafe=off", 100);
    ASSERT_FALSE(found.empty());
    struct Case {
        std::string Address;
        TileState State;
        QString Error;
    };
    const Case cases[] = {
        {found.front(), TileState::Loaded, ""},
        {Address("/images?q=tbn:no-such-id"), TileState::Failed, "HTTP 404"},
        {Address("/images?q=image&num=20&start=0&hl=ja&imgsafe=off"), TileState::Failed,
         "not an image"},
    };
    Form.ShowThumbnails(true);
    for (const Case& c : cases)
        Form.AppendAddress(c.Address);
    ThumbnailModel* model = Form.Thumbnails->Model();
    for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
        SCOPED_TRACE(cases[row].Address);
        EXPECT_EQ(Settled(row), cases[row].State);
        EXPECT_EQ(model->Error(row), cases[row].Error);
        EXPECT_EQ(model->data(model->index(row), Qt::ToolTipRole).toString().toStdString(),
                  cases[row].Address);
    }
    const QImage picture = model->Picture(0);
    ASSERT_FALSE(picture.isNull());
    EXPECT_LE(picture.width(), 100);
    EXPECT_LE(picture.height(), 100);
    EXPECT_EQ(model->Kind(0), "png");
}

TEST_F(Thumbnails, HiddenWindowFetchesNothing) {
    TypeInto(Form.Edit_AndKeyWord, "image");
    Click(Form.ToolbarButtonSearchGet);
    const int found = Form.SessionAddresses();
    ASSERT_GT(found, 20);
    const std::size_t pages = Service.WaitForLog(0).size();
    QTest::qWait(200);
    EXPECT_EQ(Form.Thumbnails->Model()->rowCount(), found);
    EXPECT_EQ(ThumbnailRequests(), 0);
    // Shown, it fetches the tiles in view: the last ones, as it follows the end of the list.
    Form.ShowThumbnails(true);
    EXPECT_EQ(Settled(found - 1), TileState::Loaded);
    Service.WaitForLog(pages + 1);
    EXPECT_GT(ThumbnailRequests(), 0);
}

TEST_F(Thumbnails, SaveImageAsWritesTheOriginalBytes) {
    const std::vector<std::string> found = ExpectedAddresses(Service, "q=image&imgsafe=off", 100);
    Form.ShowThumbnails(true);
    Form.AppendAddress(found.front());
    ASSERT_EQ(Settled(0), TileState::Loaded);
    QString suggested;
    QString answer = Folder.File("saved.png");
    Form.Thumbnails->ChooseFile = [&](QWidget*, const QString& name) -> std::optional<QString> {
        suggested = name;
        return answer;
    };
    Form.Thumbnails->SaveImageAs(0);
    EXPECT_TRUE(suggested.endsWith(".png")) << suggested.toStdString();
    const QByteArray original = Form.Thumbnails->Model()->OriginalBytes(0);
    EXPECT_EQ(ReadBytes(Folder.Path() / "saved.png"), original.toStdString());
    EXPECT_TRUE(Errors.empty());
    // A file that cannot be written is reported, and nothing is left behind.
    answer = Folder.File("no-such-folder/saved.png");
    Form.Thumbnails->SaveImageAs(0);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(Folder.Path() / "no-such-folder"));
}

TEST_F(Thumbnails, ShowThumbnailFromTheListSelectsTheTile) {
    const std::vector<std::string> found = ExpectedAddresses(Service, "q=image&imgsafe=off", 100);
    ASSERT_GT(found.size(), 30u);
    for (const std::string& a : found)
        Form.AppendAddress(a);
    const QTextBlock line = Form.Memo_URL->document()->findBlockByNumber(30);
    std::unique_ptr<QMenu> menu(Form.Memo_URL->BuildLineMenu(line));
    for (QAction* action : menu->actions())
        if (action->text() == "Show thumbnail") action->trigger();
    EXPECT_TRUE(Form.Thumbnails->BarVisible());
    EXPECT_EQ(Form.Thumbnails->View()->currentIndex().row(), 29);  // line 0 is the empty one
}

TEST_F(Thumbnails, TransfersUseTheSearchTimeOutsAndTheProxyInputsWhenUseProxyIsOn) {
    TypeInto(Form.Edit_ProxyName, "proxy.example");
    TypeInto(Form.NumIO_ProxyPort, "8080");
    struct Case {
        bool UseProxy;
        std::string Host;
        int Port;
    };
    for (const Case& c : {Case{false, "", 0}, Case{true, "proxy.example", 8080}}) {
        Form.CheckBox_UseProxy->setChecked(c.UseProxy);
        ThumbnailSettings settings;
        settings.ProxyHost = "left.over";
        Form.Thumbnails->ApplySettings(settings);
        EXPECT_EQ(settings.ProxyHost, c.Host);
        EXPECT_EQ(settings.ProxyPort, c.Port);
        EXPECT_EQ(settings.TimeOutMs, kFetchTimeOutMs);
        EXPECT_EQ(settings.IdleTimeOutMs, kFetchIdleTimeOutMs);
    }
}

}  // namespace
}  // namespace zb::test
