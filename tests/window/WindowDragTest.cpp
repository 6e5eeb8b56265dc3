// The main window's bars rearranged by the user with QTest mouse and key events, one mouse step
// at a time: dragged to other rows and off the dock, cancelled, floated and docked by double
// clicks, a floating toolbar resized to its wrapped layouts; and a search after all that.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWindow>
#include <map>
#include <set>

#include "WindowFixture.h"
#include "dock/core/BarFrameMetrics.h"
#include "dock/widgets/TBarDrag97.h"
#include "dock/widgets/TDragOutline97.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb::test {
namespace {

class WindowDrag : public WindowTest {
protected:
    // Presses on `grab` in `source` and moves the mouse to `to` (window coordinates) in steps of
    // at most `step` pixels, without releasing.
    void PressAndMove(QWidget* source, QPoint grab, QPoint to, int step = 3) {
        QTest::mousePress(source, Qt::LeftButton, {}, grab);
        QWidget* window = source->window();
        QPoint at = source->mapTo(window, grab);
        const QPoint target = window->mapFromGlobal(Form.mapToGlobal(to));
        while (at != target) {
            const QPoint d = target - at;
            at += QPoint(std::clamp(d.x(), -step, step), std::clamp(d.y(), -step, step));
            QTest::mouseMove(window, at);
        }
    }
    void Release(QPoint to) {
        QWidget* grabber = QWidget::mouseGrabber();
        QWidget* window = grabber ? grabber->window() : &Form;
        QTest::mouseRelease(window, Qt::LeftButton, {},
                            window->mapFromGlobal(Form.mapToGlobal(to)));
        Flush();
    }
    void Drag(QWidget* source, QPoint grab, QPoint to) {
        PressAndMove(source, grab, to);
        Release(to);
    }
    void DoubleClick(QWidget* w, QPoint at) {
        QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        Flush();
    }
    // A double click at a screen point as the window system delivers it: each press goes to the
    // top-level window under the point at that moment (floating windows stand above the form),
    // each release to the window holding the mouse; the toolkit makes the second press a double
    // click. Unlike QTest::mouseDClick, what the first click does decides where the second goes.
    void WindowSystemDoubleClick(QPoint global) {
        int time = QTest::lastMouseTimestamp;
        for (int click = 0; click < 2; ++click) {
            QPointer<QWindow> pressed = TopLevelAt(global)->windowHandle();
            qt_handleMouseEvent(pressed, pressed->mapFromGlobal(global), global, Qt::LeftButton,
                                Qt::LeftButton, QEvent::MouseButtonPress, {}, ++time);
            Flush();
            // A floating window whose bar the press docked is gone; the form takes the release.
            QWidget* grabber = QWidget::mouseGrabber();
            QWindow* released = grabber   ? grabber->window()->windowHandle()
                                : pressed ? pressed.data()
                                          : TopLevelAt(global)->windowHandle();
            qt_handleMouseEvent(released, released->mapFromGlobal(global), global, Qt::NoButton,
                                Qt::LeftButton, QEvent::MouseButtonRelease, {}, ++time);
            Flush();
        }
        // The next QTest click must not pair with these.
        QTest::lastMouseTimestamp = time + 10 * QTest::mouseDoubleClickInterval;
    }
    QWidget* TopLevelAt(QPoint global) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<TFloatingWindow97*>(top) && top->isVisible() &&
                top->frameGeometry().contains(global))
                return top;
        return &Form;
    }
    std::vector<TCustomToolWindow97*> Bars() {
        return {Form.Toolbar_Menu, Form.ToolWindow971, Form.ToolWindow972, Form.ToolWindow973,
                Form.ToolWindow974};
    }
    // The list and the status bar fill what the dock leaves.
    void ExpectClientAreaBelowTheDock() {
        const int dock = Form.Dock_Up->height();
        EXPECT_EQ(Form.ScrollBox1->geometry(), QRect(0, dock, 452, 268 - dock - 19));
        EXPECT_EQ(Form.StatusBar1->geometry(), QRect(0, 249, 452, 19));
    }
};

TEST_F(WindowDrag, ProxyWindowDraggedOntoTheKeywordRowOpensARowBeforeIt) {
    TToolWindow97* proxy = Form.ToolWindow973;
    // Grabbed at its grip, half-way down; the outline's centre lands 1 pixel into row 2.
    const QPoint grab(5, 18);
    PressAndMove(proxy, grab, {5, 62});
    TBarDrag97* drag = proxy->ActiveDrag();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->TargetDock(), Form.Dock_Up);
    ASSERT_TRUE(drag->Outline()->isVisible());
    EXPECT_EQ(drag->Outline()->Thickness(), 1);
    EXPECT_EQ(drag->Outline()->FrameRect().size(), QSize(447, 36));
    Release({5, 62});

    EXPECT_EQ(proxy->ActiveDrag(), nullptr);
    EXPECT_EQ(proxy->DockRow(), 2);
    EXPECT_EQ(Form.ToolWindow971->DockRow(), 3);
    EXPECT_EQ(proxy->geometry(), QRect(0, 60, 447, 36));
    EXPECT_EQ(Form.ToolWindow971->geometry(), QRect(0, 96, 447, 96));
    EXPECT_EQ(Form.Dock_Up->height(), 192);
    ExpectClientAreaBelowTheDock();
    // Its fields still work where they are now.
    TypeInto(Form.Edit_ProxyName, "proxy.example");
    EXPECT_EQ(Form.Edit_ProxyName->text(), QString("proxy.example"));
    EXPECT_EQ(Form.Edit_ProxyName->mapTo(&Form, QPoint(0, 0)), QPoint(9 + 2 + 47, 60 + 2 + 7));
}

TEST_F(WindowDrag, KeywordWindowDraggedOffTheDockFloatsAndTheListGrows) {
    TToolWindow97* keywords = Form.ToolWindow971;
    PressAndMove(keywords, {5, 40}, {100, 300});
    ASSERT_NE(keywords->ActiveDrag(), nullptr);
    EXPECT_EQ(keywords->ActiveDrag()->TargetDock(), nullptr);
    const QRect outline = keywords->ActiveDrag()->Outline()->FrameRect();
    Release({100, 300});

    ASSERT_TRUE(keywords->Floating());
    TFloatingWindow97* win = keywords->FloatingWindow();
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->geometry(), outline);
    EXPECT_EQ(Form.Edit_AndKeyWord->window(), win);
    // The dock closed the row; the proxy window moved up; the list took the room.
    EXPECT_EQ(Form.Dock_Up->height(), 192 - 96);
    EXPECT_EQ(Form.ToolWindow973->DockRow(), 2);
    EXPECT_EQ(Form.ToolWindow973->geometry().top(), 60);
    ExpectClientAreaBelowTheDock();
    // The boxes type as before.
    TypeInto(Form.Edit_AndKeyWord, "cat");
    EXPECT_EQ(Form.AndWords(), "cat");
}

TEST_F(WindowDrag, EscapeCancelsAndCtrlTogglesDocking) {
    TToolWindow97* options = Form.ToolWindow972;
    const QRect before = options->geometry();
    PressAndMove(options, {5, 10}, {7, 250});
    ASSERT_NE(options->ActiveDrag(), nullptr);
    QTest::keyPress(Form.Edit_AndKeyWord, Qt::Key_Escape);
    Flush();
    EXPECT_EQ(options->ActiveDrag(), nullptr);
    Release({7, 250});
    EXPECT_EQ(options->DockedTo(), Form.Dock_Up);
    EXPECT_EQ(options->geometry(), before);

    // Over the bottom of the dock the outline is docked; Ctrl makes it float and back.
    PressAndMove(options, {5, 10}, {7, 195});
    TBarDrag97* drag = options->ActiveDrag();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->TargetDock(), Form.Dock_Up);
    QTest::keyPress(options, Qt::Key_Control);
    EXPECT_EQ(drag->TargetDock(), nullptr);
    EXPECT_EQ(drag->Outline()->Thickness(), TFloatingFrame::Border);
    QTest::keyRelease(options, Qt::Key_Control);
    EXPECT_EQ(drag->TargetDock(), Form.Dock_Up);
    EXPECT_EQ(drag->Outline()->Thickness(), 1);
    // Dropped there: a row of its own at the end.
    Release({7, 195});
    EXPECT_EQ(options->DockRow(), 3);
    EXPECT_EQ(options->geometry().top(), 28 + 96 + 36);
    ExpectClientAreaBelowTheDock();

    // Ctrl held at the release: it floats.
    PressAndMove(options, {5, 10}, {7, 120});
    QTest::keyPress(options, Qt::Key_Control);
    Release({7, 120});
    EXPECT_TRUE(options->Floating());
    EXPECT_TRUE(Form.CheckBox_AdultFilter->isChecked());
    QTest::mouseClick(Form.CheckBox_AdultFilter, Qt::LeftButton, {}, {5, 8});
    EXPECT_FALSE(Form.AdultFilter());
}

TEST_F(WindowDrag, DoubleClickFloatsTheToolbarAndDocksItAgain) {
    TToolbar97* toolbar = Form.Toolbar_Menu;
    const QPoint where = toolbar->mapToGlobal(QPoint(0, 0));
    DoubleClick(toolbar, {5, 14});
    ASSERT_TRUE(toolbar->Floating());
    TFloatingWindow97* win = toolbar->FloatingWindow();
    EXPECT_EQ(win->pos(), where);
    // Floating, the buttons get the floating margins: one line of 212 x 27.
    EXPECT_EQ(toolbar->ClientArea()->size(), QSize(212, 27));
    // Row 0 keeps the logo, so the dock keeps its height.
    EXPECT_EQ(Form.ToolWindow974->geometry(), QRect(358, 0, 89, 28));
    EXPECT_EQ(Form.Dock_Up->height(), 192);

    DoubleClick(win, win->CaptionRect().center());
    EXPECT_EQ(toolbar->DockedTo(), Form.Dock_Up);
    EXPECT_EQ(toolbar->geometry(), QRect(0, 0, 217, 28));
    EXPECT_EQ(Form.ToolbarButton_SaveURLs->pos(), QPoint(108, 0));
    EXPECT_EQ(Form.ToolbarButtonSearchGet->window(), &Form);
}

TEST_F(WindowDrag, DoubleClickOnAFloatingCaptionDocksThatBarAndMovesNothingElse) {
    // Floated by a double click on its grip, a bar floats where it was docked, so its caption
    // lies over the dock, the caption's left end over the bar's own grip.
    const struct {
        TCustomToolWindow97* bar;
        QPoint grip;
    } cases[] = {{Form.Toolbar_Menu, {5, 14}}, {Form.ToolWindow972, {5, 10}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bar->objectName().toStdString());
        std::map<TCustomToolWindow97*, QRect> docked;
        for (TCustomToolWindow97* bar : Bars())
            docked[bar] = bar->geometry();

        WindowSystemDoubleClick(c.bar->mapToGlobal(c.grip));
        ASSERT_TRUE(c.bar->Floating());
        TFloatingWindow97* win = c.bar->FloatingWindow();
        const QRect captionRect = win->CaptionRect();
        const QPoint caption =
            win->mapToGlobal(QPoint(captionRect.left() + 4, captionRect.center().y()));
        ASSERT_EQ(TopLevelAt(caption), win);
        ASSERT_TRUE(Form.Dock_Up->rect().contains(Form.Dock_Up->mapFromGlobal(caption)));

        WindowSystemDoubleClick(caption);
        for (TCustomToolWindow97* bar : Bars()) {
            SCOPED_TRACE(bar->objectName().toStdString());
            EXPECT_EQ(bar->DockedTo(), Form.Dock_Up);
            EXPECT_EQ(bar->geometry(), docked[bar]);
        }
    }
    ExpectClientAreaBelowTheDock();
}

TEST_F(WindowDrag, FloatingBarsKeepTheFormsFontAndPalette) {
    std::map<QWidget*, std::pair<QFont, QPalette>> docked;
    for (TCustomToolWindow97* bar : Bars())
        for (QWidget* control : bar->ClientArea()->findChildren<QWidget*>())
            docked[control] = {control->font(), control->palette()};
    ASSERT_EQ(Form.CheckBox_fromJapan->font(), Form.font());

    for (TCustomToolWindow97* bar : Bars()) {
        DoubleClick(bar, {5, 10});
        ASSERT_TRUE(bar->Floating()) << bar->objectName().toStdString();
    }
    for (const auto& [control, look] : docked) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_EQ(control->font(), look.first);
        EXPECT_EQ(control->palette(), look.second);
    }
}

TEST_F(WindowDrag, FloatingToolbarResizesOnlyToItsWrappedLayouts) {
    DoubleClick(Form.Toolbar_Menu, {5, 14});
    TFloatingWindow97* win = Form.Toolbar_Menu->FloatingWindow();
    ASSERT_NE(win, nullptr);
    const QPoint topLeft = win->pos();
    EXPECT_EQ(win->size(), QSize(218, 48));

    // The right border dragged left a pixel at a time: only the one-line and the two-line
    // sizes are ever shown, each narrower than the last.
    auto dragRightBorder = [&](int dx) {
        std::vector<QSize> seen;
        const QPoint from(win->width() - 1, 30);
        const QPoint globalFrom = win->mapToGlobal(from);
        QTest::mousePress(win, Qt::LeftButton, {}, from);
        for (int i = 1; i <= std::abs(dx); ++i) {
            QTest::mouseMove(win, win->mapFromGlobal(globalFrom + QPoint(dx < 0 ? -i : i, 0)));
            seen.push_back(win->size());
        }
        QTest::mouseRelease(win, Qt::LeftButton, {},
                            win->mapFromGlobal(globalFrom + QPoint(dx, 0)));
        Flush();
        return seen;
    };
    const std::set<std::pair<int, int>> candidates = {{218, 48}, {122, 72}};
    int last = 218;
    for (QSize s : dragRightBorder(-150)) {
        EXPECT_TRUE(candidates.count({s.width(), s.height()})) << s.width() << "x" << s.height();
        EXPECT_LE(s.width(), last);
        last = s.width();
    }
    EXPECT_EQ(win->size(), QSize(122, 72));
    EXPECT_EQ(win->pos(), topLeft);
    EXPECT_EQ(Form.Toolbar_Menu->FloatRightX(), 116);
    EXPECT_EQ(Form.ToolbarButtonSearchGet->pos(), QPoint(4, 2));
    EXPECT_EQ(Form.ToolbarButton_SaveURLs->pos(), QPoint(4, 26));
    // The wrapped buttons still work.
    SaveAnswer = Folder.File("wrapped.txt");
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(ReadBytes(Folder.Path() / "wrapped.txt"), "\r\n");

    // Back out to the widest size: one line again, wrap width 0.
    for (QSize s : dragRightBorder(150))
        EXPECT_TRUE(candidates.count({s.width(), s.height()})) << s.width() << "x" << s.height();
    EXPECT_EQ(win->size(), QSize(218, 48));
    EXPECT_EQ(Form.Toolbar_Menu->FloatRightX(), 0);
    EXPECT_EQ(Form.ToolbarButton_SaveURLs->pos(), QPoint(112, 2));
}

TEST_F(WindowDrag, ClosingTheWindowTakesTheFloatingBarsAlong) {
    DoubleClick(Form.Toolbar_Menu, {5, 14});
    DoubleClick(Form.ToolWindow971, {5, 40});
    TFloatingWindow97* toolbar = Form.Toolbar_Menu->FloatingWindow();
    TFloatingWindow97* keywords = Form.ToolWindow971->FloatingWindow();
    ASSERT_TRUE(toolbar && keywords);
    ASSERT_TRUE(toolbar->isVisible() && keywords->isVisible());
    int closed = 0;
    Form.OnClosed = [&] { ++closed; };
    Form.close();
    Flush();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(toolbar->isVisible());
    EXPECT_FALSE(keywords->isVisible());
    // Shown again, the window brings them back where they were.
    Form.show();
    Flush();
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_TRUE(keywords->isVisible());
    EXPECT_TRUE(Form.Toolbar_Menu->Floating());
}

TEST_F(WindowDrag, SearchStillWorksAfterTheBarsWereRearranged) {
    ServiceProcess service({"--images", "60"});
    UseService(service);
    // Toolbar floating, options floating, the keyword window moved below the proxy window.
    DoubleClick(Form.Toolbar_Menu, {5, 14});
    DoubleClick(Form.ToolWindow972, {5, 10});
    ASSERT_TRUE(Form.Toolbar_Menu->Floating());
    ASSERT_TRUE(Form.ToolWindow972->Floating());
    Drag(Form.ToolWindow971, {5, 40}, {20, Form.Dock_Up->height() + 3});
    ASSERT_EQ(Form.ToolWindow971->DockedTo(), Form.Dock_Up);
    EXPECT_GT(Form.ToolWindow971->DockRow(), Form.ToolWindow973->DockRow());
    ExpectClientAreaBelowTheDock();

    TypeInto(Form.Edit_AndKeyWord, "image");
    QTest::mouseClick(Form.CheckBox_AdultFilter, Qt::LeftButton, {}, {5, 8});
    Click(Form.ToolbarButtonSearchGet);
    const std::vector<std::string> expected = ExpectedAddresses(service, "q=image&imgsafe=off", 60);
    ASSERT_EQ(expected.size(), 60u);
    EXPECT_EQ(Form.Memo_URL->Lines().size(), 61);
    EXPECT_EQ(Form.Memo_URL->Lines().back().toStdString(), expected.back());
    EXPECT_TRUE(Form.windowTitle().endsWith("&start=40&hl=ja&imgsafe=off"))
        << Form.windowTitle().toStdString();
    SaveAnswer = Folder.File("after.txt");
    Click(Form.ToolbarButton_SaveURLs);
    EXPECT_EQ(ReadBytes(Folder.Path() / "after.txt"), SavedList(expected));
}

}  // namespace
}  // namespace zb::test
