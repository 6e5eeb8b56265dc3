// The main window without a service: its controls as it opens, their geometry on the dock, the
// tab order, fonts and logo, the buttons and edit boxes under the mouse, "Save URLs" and the
// standard error report.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <set>

#include "WindowFixture.h"
#include "app/ErrorReport.h"
#include "app/LogoImage.h"
#include "app/WindowFonts.h"
#include "common/Cp932.h"

namespace zb::test {
namespace {

const QColor kFace(192, 192, 192), kShadow(128, 128, 128), kHighlight(255, 255, 255),
    kWindow(240, 240, 255);

QColor PixelAt(QWidget* w, int x, int y) {
    return w->grab().toImage().pixelColor(x, y);
}

using MainWindow = WindowTest;

TEST_F(MainWindow, OpensWithEmptyInputsAndOneEmptyListLine) {
    EXPECT_EQ(Form.windowTitle(), QString("Zunbarra Image Search"));
    EXPECT_TRUE(Form.CheckBox_AdultFilter->isChecked());
    EXPECT_FALSE(Form.CheckBox_UseProxy->isChecked());
    EXPECT_FALSE(Form.CheckBox_fromJapan->isChecked());
    for (QLineEdit* box : {static_cast<QLineEdit*>(Form.Edit_AndKeyWord),
                           static_cast<QLineEdit*>(Form.Edit_NotKeyWord),
                           static_cast<QLineEdit*>(Form.Edit_ProxyName),
                           static_cast<QLineEdit*>(Form.NumIO_ProxyPort)})
        EXPECT_EQ(box->text(), QString()) << box->objectName().toStdString();
    EXPECT_EQ(Form.Memo_URL->Lines(), QStringList{""});
    EXPECT_EQ(Form.StatusBar1->PanelCount(), 2);
    EXPECT_EQ(Form.Session->NMHTTP2Zorvex->TimeOut, 5000);
}

TEST_F(MainWindow, TheDockRowsAndTheControlsStandWhereTheWindowPutsThem) {
    EXPECT_EQ(Form.size(), QSize(452, 268));
    EXPECT_EQ(Form.Dock_Up->geometry(), QRect(0, 0, 452, 192));
    // Rows at 0, 28, 60 and 156; each bar is its client plus a 2-pixel frame and the 9-pixel
    // grip handle.
    EXPECT_EQ(Form.Toolbar_Menu->geometry(), QRect(0, 0, 204 + 13, 24 + 4));
    EXPECT_EQ(Form.ToolWindow974->geometry(), QRect(358, 0, 76 + 13, 24 + 4));
    EXPECT_EQ(Form.ToolWindow972->geometry(), QRect(2, 28, 432 + 13, 28 + 4));
    EXPECT_EQ(Form.ToolWindow971->geometry(), QRect(0, 60, 434 + 13, 92 + 4));
    EXPECT_EQ(Form.ToolWindow973->geometry(), QRect(0, 156, 434 + 13, 32 + 4));

    EXPECT_EQ(Form.ToolbarButtonSearchGet->geometry(), QRect(0, 0, 108, 24));
    EXPECT_EQ(Form.ToolbarButton_SaveURLs->geometry(), QRect(108, 0, 96, 24));
    EXPECT_EQ(Form.Toolbar_Menu->OrderList(),
              (QList<QWidget*>{Form.ToolbarButtonSearchGet, Form.ToolbarButton_SaveURLs}));
    EXPECT_EQ(Form.Image1->geometry(), QRect(0, 0, 75, 24));
    EXPECT_EQ(Form.CheckBox_AdultFilter->geometry(), QRect(5, 6, 97, 17));
    EXPECT_EQ(Form.CheckBox_UseProxy->geometry(), QRect(329, 6, 97, 17));
    EXPECT_EQ(Form.CheckBox_fromJapan->geometry(), QRect(216, 5, 108, 17));
    EXPECT_EQ(Form.Label1->pos(), QPoint(5, 7));
    EXPECT_EQ(Form.Label2->pos(), QPoint(5, 35));
    EXPECT_EQ(Form.Label3->pos(), QPoint(6, 9));
    EXPECT_EQ(Form.Label4->pos(), QPoint(286, 9));
    // Labels size themselves to their captions and stay clear of the boxes beside them.
    EXPECT_LE(Form.Label1->geometry().right(), Form.Edit_AndKeyWord->x());
    EXPECT_LE(Form.Label3->geometry().right(), Form.Edit_ProxyName->x());
    EXPECT_LE(Form.Label4->geometry().right(), Form.NumIO_ProxyPort->x());
    // Flat edit boxes take the height of their font plus the borders.
    const int editHeight = Form.Edit_AndKeyWord->fontMetrics().height() + 6;
    EXPECT_EQ(Form.Edit_AndKeyWord->geometry(), QRect(85, 4, 347, editHeight));
    EXPECT_EQ(Form.Edit_NotKeyWord->geometry(), QRect(84, 33, 347, editHeight));
    EXPECT_EQ(Form.Edit_ProxyName->geometry(), QRect(47, 7, 225, editHeight));
    EXPECT_EQ(Form.NumIO_ProxyPort->geometry(), QRect(319, 5, 105, 20));

    // Below the dock the list, then the status bar along the bottom edge.
    EXPECT_EQ(Form.ScrollBox1->geometry(), QRect(0, 192, 452, 57));
    EXPECT_EQ(Form.Memo_URL->geometry(), QRect(0, 0, 448, 53));
    EXPECT_EQ(Form.StatusBar1->geometry(), QRect(0, 249, 452, 19));
    EXPECT_EQ(Form.StatusBar1->PanelRect(0).width(), 240);
    EXPECT_EQ(Form.StatusBar1->PanelRect(1).width(), 50);
    EXPECT_GT(Form.StatusBar1->PanelRect(1).left(), Form.StatusBar1->PanelRect(0).right());

    // A wider, taller window gives the room to the list.
    Form.resize(600, 400);
    Flush();
    EXPECT_EQ(Form.Dock_Up->geometry(), QRect(0, 0, 600, 192));
    EXPECT_EQ(Form.ScrollBox1->geometry(), QRect(0, 192, 600, 400 - 192 - 19));
    EXPECT_EQ(Form.Memo_URL->size(), QSize(596, 400 - 192 - 19 - 4));
    EXPECT_EQ(Form.StatusBar1->geometry(), QRect(0, 400 - 19, 600, 19));
    // Smaller than the dock: nothing is left for the list and the status bar.
    Form.resize(300, 150);
    Flush();
    EXPECT_EQ(Form.Dock_Up->height(), 192);
    EXPECT_EQ(Form.ScrollBox1->height(), 0);
    EXPECT_EQ(Form.StatusBar1->height(), 0);
}

// A profile of its own is named at the status bar's right end; the built-in one is not.
TEST_F(MainWindow, StatusBarNamesTheSearchProfile) {
    ASSERT_EQ(Form.StatusBar1->PanelCount(), 2);
    const QString first = Form.StatusBar1->PanelText(0);
    SearchProfile other = BuiltInProfile();
    other.Name = "layout 2";
    other.Base = "http://127.0.0.1:1";
    Form.UseProfile(other);
    ASSERT_EQ(Form.StatusBar1->PanelCount(), 3);
    EXPECT_EQ(Form.StatusBar1->PanelText(2), QStringLiteral("Profile: layout 2"));
    EXPECT_EQ(Form.StatusBar1->PanelText(0), first);
    EXPECT_EQ(Form.Session->Profile.Base, "http://127.0.0.1:1");
    Form.UseProfile(BuiltInProfile());
    EXPECT_EQ(Form.StatusBar1->PanelCount(), 2);
}

TEST_F(MainWindow, TabGoesThroughTheBarsInTheirOrderThenTheList) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    Form.Edit_AndKeyWord->setFocus();
    const std::vector<QWidget*> order = {Form.Edit_NotKeyWord,   Form.CheckBox_AdultFilter,
                                         Form.CheckBox_UseProxy, Form.CheckBox_fromJapan,
                                         Form.Edit_ProxyName,    Form.NumIO_ProxyPort,
                                         Form.Memo_URL};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(MainWindow, FontsAndLogo) {
    EXPECT_EQ(Form.font().pixelSize(), 12);
    EXPECT_EQ(Form.font().family(), FirstInstalledFamily(FormFontFamilies()));
    EXPECT_EQ(Form.Memo_URL->font(), Form.font());
    for (QLabel* label : {Form.Label1, Form.Label2, Form.Label3, Form.Label4}) {
        EXPECT_EQ(label->font().pixelSize(), 13);
        EXPECT_EQ(label->font().family(), FirstInstalledFamily(LabelFontFamilies()));
    }
    // The Debian stand-ins are installed, so the window shows Japanese text.
    EXPECT_FALSE(FirstInstalledFamily(FormFontFamilies()).isEmpty());
    EXPECT_EQ(FirstInstalledFamily({"No Such Font", "IPAGothic"}), QString("IPAGothic"));
    EXPECT_EQ(FirstInstalledFamily({"No Such Font"}), QString());

    const QImage& logo = Form.LogoPicture();
    EXPECT_EQ(logo.size(), QSize(kLogoWidth, kLogoHeight));
    EXPECT_EQ(logo.format(), QImage::Format_RGB888);
    EXPECT_EQ(logo.depth(), 24);
    std::set<QRgb> colours;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            colours.insert(logo.pixel(x, y));
    EXPECT_GT(colours.size(), 10u);  // a picture, not a plain fill
}

TEST_F(MainWindow, ButtonsHotPressedAndReleasedOutside) {
    TToolbarButton97* save = Form.ToolbarButton_SaveURLs;
    EXPECT_FALSE(save->FrameShown());
    QTest::mouseMove(save, {40, 12});
    EXPECT_TRUE(save->MouseIn());
    EXPECT_EQ(PixelAt(save, 0, 0), kHighlight);  // raised while hot
    EXPECT_EQ(PixelAt(save, 95, 23), kShadow);
    QTest::mousePress(save, Qt::LeftButton, {}, {40, 12});
    EXPECT_TRUE(save->Pushed());
    EXPECT_EQ(PixelAt(save, 0, 0), kShadow);  // sunken while pressed
    // Dragged out: up again, and a release outside does not click.
    QTest::mouseMove(save, {150, 12});
    EXPECT_FALSE(save->Pushed());
    QTest::mouseRelease(save, Qt::LeftButton, {}, {150, 12});
    EXPECT_EQ(SaveDialogShown, 0);
    // Back in before the release, it clicks.
    QTest::mousePress(save, Qt::LeftButton, {}, {40, 12});
    QTest::mouseMove(save, {150, 12});
    QTest::mouseMove(save, {40, 12});
    EXPECT_TRUE(save->Pushed());
    QTest::mouseRelease(save, Qt::LeftButton, {}, {40, 12});
    EXPECT_EQ(SaveDialogShown, 1);
}

TEST_F(MainWindow, FlatEditBoxesAreFlatWhenIdleAndSunkenWhenHot) {
    TEdit97* box = Form.Edit_NotKeyWord;
    Form.CheckBox_UseProxy->setFocus();
    QTest::mouseMove(&Form, {440, 260});
    Flush();
    ASSERT_FALSE(box->IsHot());
    const int mid = box->height() / 2;
    for (int ring = 0; ring < 3; ++ring)
        EXPECT_EQ(PixelAt(box, ring, mid), ring < 2 ? kFace : kWindow) << ring;
    // The mouse over it while a check box has the focus: sunken.
    QTest::mouseMove(box, {30, mid});
    Flush();
    EXPECT_TRUE(box->IsHot());
    EXPECT_EQ(PixelAt(box, 0, mid), kShadow);
    EXPECT_EQ(PixelAt(box, 100, box->height() - 1), kHighlight);
    // With the focus in the other flat box, the mouse alone does not make it hot.
    Form.Edit_AndKeyWord->setFocus();
    Flush();
    EXPECT_FALSE(box->IsHot());
    EXPECT_EQ(PixelAt(box, 0, mid), kFace);
    EXPECT_TRUE(Form.Edit_AndKeyWord->IsHot());
    EXPECT_EQ(PixelAt(Form.Edit_AndKeyWord, 0, mid), kShadow);
}

TEST_F(MainWindow, SaveUrlsBeforeAnySearchWritesOneEmptyLine) {
    SaveAnswer = Folder.File("urls");
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(SaveDialogShown, 1);
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls"), "\r\n");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, SaveUrlsWritesTheBytesTheSessionAppended) {
    const std::string first = "http://127.0.0.1:8930/images?q=tbn:" + Utf8ToCp932("猫") + "1";
    const std::string second = "http://127.0.0.1:8930/images?q=tbn:\xEE\xEF";
    Form.AppendAddress(first);
    Form.AppendAddress(second);
    EXPECT_EQ(Form.Memo_URL->Lines().at(1), QString::fromUtf8(Cp932ToUtf8(first).c_str()));
    SaveAnswer = Folder.File("urls.txt");
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls.txt"), "\r\n" + first + "\r\n" + second + "\r\n");
    // Saved again over the same name after the user typed a line of their own.
    Form.Memo_URL->setFocus();
    Form.Memo_URL->moveCursor(QTextCursor::End);
    TypeText(Form.Memo_URL, QString::fromUtf8("メモ"));
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls.txt"),
              "\r\n" + first + "\r\n" + second + "\r\n" + Utf8ToCp932("メモ") + "\r\n");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, SaveUrlsCancelledWritesNothing) {
    Form.AppendAddress("http://h/a");
    WriteBytes(Folder.Path() / "urls.txt", "before");
    SaveAnswer = std::nullopt;
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(SaveDialogShown, 1);
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls.txt"), "before");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, SaveUrlsFailuresReachTheErrorReport) {
    const QString missing = Folder.File("missing/urls.txt");
    SaveAnswer = missing;
    Click(Form.ToolbarButton_SaveURLs);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QString::fromUtf8("ファイル %1 を作成できません").arg(missing));

    // A character Shift_JIS cannot hold: reported, and the existing file stays.
    WriteBytes(Folder.Path() / "urls.txt", "before");
    SaveAnswer = Folder.File("urls.txt");
    Form.Memo_URL->setFocus();
    TypeText(Form.Memo_URL, QString::fromUtf8("\U0001F431"));
    Click(Form.ToolbarButton_SaveURLs);
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_TRUE(Errors[1].contains(QString::fromUtf8("\U0001F431"))) << Errors[1].toStdString();
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls.txt"), "before");
    // The window stays usable.
    QTest::keyClick(Form.Memo_URL, Qt::Key_Backspace);
    QTest::keyClick(Form.Memo_URL, Qt::Key_Backspace);
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(ReadBytes(Folder.Path() / "urls.txt"), "\r\n");
}

TEST_F(MainWindow, StandardErrorReportIsAMessageBoxWithTheApplicationTitle) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The box is modal: read it and close it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    ShowErrorReport(&Form, QString::fromUtf8("'x' は整数ではありません"));
    EXPECT_EQ(title, QString("Zunbarra Image Searcher"));
    EXPECT_EQ(text, QString::fromUtf8("'x' は整数ではありません"));
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(MainWindow, EmptyAndWordsDoNothing) {
    Form.Edit_NotKeyWord->setText("anything");
    Click(Form.ToolbarButtonSearchGet);
    EXPECT_EQ(Form.windowTitle(), QString("Zunbarra Image Search"));
    EXPECT_EQ(Form.Memo_URL->Lines(), QStringList{""});
    EXPECT_EQ(Form.Session->LastOutcome().End, SearchEnd::NoWords);
    EXPECT_EQ(Form.Session->LastOutcome().Pages, 0);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(MainWindow, EmptyPortWithUseProxyGivesTheConversionErrorAndNoRequest) {
    QTest::mouseClick(Form.CheckBox_UseProxy, Qt::LeftButton, {}, {5, 8});
    ASSERT_TRUE(Form.CheckBox_UseProxy->isChecked());
    TypeInto(Form.Edit_ProxyName, "proxy.example");
    TypeInto(Form.Edit_AndKeyWord, "image");
    Click(Form.ToolbarButtonSearchGet);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], QString::fromUtf8("'' は整数ではありません"));
    EXPECT_EQ(Form.windowTitle(), QString("Zunbarra Image Search"));
    EXPECT_EQ(Form.SessionPages(), 0);
    // The host was assigned before the port failed.
    EXPECT_EQ(Form.Session->NMHTTP2Zorvex->Proxy, "proxy.example");
    EXPECT_EQ(Form.Session->NMHTTP2Zorvex->ProxyPort, 0);
    EXPECT_EQ(Form.StatusBar1->PanelText(0), QString("Search not started"));

    // A text the field accepts while typing but that is no integer fails the same way.
    TypeInto(Form.NumIO_ProxyPort, "1e");
    ASSERT_EQ(Form.NumIO_ProxyPort->text(), QString("1e"));
    Click(Form.ToolbarButtonSearchGet);
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], QString::fromUtf8("'1e' は整数ではありません"));
}

TEST_F(MainWindow, KeywordsShiftJisCannotHoldAreReported) {
    TypeInto(Form.Edit_AndKeyWord, QString::fromUtf8("猫\U0001F431"));
    Click(Form.ToolbarButtonSearchGet);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_TRUE(Errors[0].startsWith("And KeyWord")) << Errors[0].toStdString();
    EXPECT_EQ(Form.windowTitle(), QString("Zunbarra Image Search"));
    EXPECT_FALSE(Form.Session->Running());
}

}  // namespace
}  // namespace zb::test
