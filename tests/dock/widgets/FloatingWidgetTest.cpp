// Floating bars: the floating window's size, resizing a floating toolbar to its candidate
// sizes, resizing a tool window freely, the close button and keeping the window on screen.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <set>

#include "QtPrinters.h"
#include "TestForm.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb {
namespace {

using test::Flush;
using test::TestForm;

TFloatingWindow97* FloatToolbar(TestForm& f) {
    QTest::mouseDClick(f.Toolbar_Menu, Qt::LeftButton, {}, {5, 10});
    Flush();
    return f.Toolbar_Menu->FloatingWindow();
}

// Drags a border of the floating window from `from` by `delta`, one pixel at a time, and
// collects the window sizes shown on the way.
std::vector<QSize> DragBorder(TFloatingWindow97* win, QPoint from, QPoint delta,
                              bool release = true) {
    std::vector<QSize> seen;
    QTest::mousePress(win, Qt::LeftButton, {}, from);
    const QPoint globalFrom = win->mapToGlobal(from);
    const int steps = std::max(std::abs(delta.x()), std::abs(delta.y()));
    for (int i = 1; i <= steps; ++i) {
        const QPoint global = globalFrom + delta * i / steps;
        QTest::mouseMove(win, win->mapFromGlobal(global));
        seen.push_back(win->size());
    }
    if (release)
        QTest::mouseRelease(win, Qt::LeftButton, {}, win->mapFromGlobal(globalFrom + delta));
    Flush();
    return seen;
}

TEST(FloatingWidgetTest, FloatingToolbarTakesItsOneLineLayout) {
    TestForm f;
    TFloatingWindow97* win = FloatToolbar(f);
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(f.Toolbar_Menu->ClientArea()->size(), QSize(212, 27));
    EXPECT_EQ(win->size(), QSize(212 + 6, 27 + 21));
    EXPECT_EQ(f.ToolbarButtonSearchGet->pos(), QPoint(4, 2));
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(112, 2));
    EXPECT_EQ(f.Toolbar_Menu->BuildPotentialSizesList(),
              (std::vector<TSize>{{212, 27}, {116, 51}}));
}

TEST(FloatingWidgetTest, ResizingAFloatingToolbarSnapsToItsCandidateSizes) {
    TestForm f;
    TFloatingWindow97* win = FloatToolbar(f);
    const QPoint topLeft = win->pos();
    const QPoint rightBorder(win->width() - 1, 30);
    const auto seen = DragBorder(win, rightBorder, {-150, 0});
    const std::set<std::pair<int, int>> allowed = {{218, 48}, {122, 72}};
    int last = 218;
    for (QSize s : seen) {
        EXPECT_TRUE(allowed.count({s.width(), s.height()})) << s.width() << "x" << s.height();
        EXPECT_LE(s.width(), last);  // moves with the cursor, one way only
        last = s.width();
    }
    EXPECT_EQ(win->size(), QSize(122, 72));
    EXPECT_EQ(win->pos(), topLeft);  // the left edge stays
    EXPECT_EQ(f.Toolbar_Menu->FloatRightX(), 116);
    EXPECT_EQ(f.ToolbarButtonSearchGet->pos(), QPoint(4, 2));
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(4, 26));

    // Back to the widest candidate: the wrap width is 0 again.
    DragBorder(win, {win->width() - 1, 30}, {150, 0});
    EXPECT_EQ(win->size(), QSize(218, 48));
    EXPECT_EQ(f.Toolbar_Menu->FloatRightX(), 0);
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(112, 2));
}

TEST(FloatingWidgetTest, BottomBorderChoosesByHeightAndLeftBorderKeepsTheRightEdge) {
    TestForm f;
    TFloatingWindow97* win = FloatToolbar(f);
    DragBorder(win, {60, win->height() - 1}, {0, 30});
    EXPECT_EQ(win->size(), QSize(122, 72));
    EXPECT_EQ(f.Toolbar_Menu->FloatRightX(), 116);

    DragBorder(win, {60, win->height() - 1}, {0, -30});
    EXPECT_EQ(win->size(), QSize(218, 48));
    const int right = win->geometry().right();
    DragBorder(win, {0, 30}, {120, 0});
    EXPECT_EQ(win->size(), QSize(122, 72));
    EXPECT_EQ(win->geometry().right(), right);
}

TEST(FloatingWidgetTest, SnapDistanceHoldsTheCurrentSizeAndEscapeCancels) {
    TestForm f;
    TFloatingWindow97* win = FloatToolbar(f);
    const auto seen = DragBorder(win, {win->width() - 1, 30}, {-12, 0});
    for (QSize s : seen)
        EXPECT_EQ(s, QSize(218, 48));
    DragBorder(win, {win->width() - 1, 30}, {-150, 0}, false);
    EXPECT_EQ(win->size(), QSize(122, 72));
    ASSERT_TRUE(win->Resizing());
    QTest::keyPress(win, Qt::Key_Escape);
    EXPECT_FALSE(win->Resizing());
    EXPECT_EQ(win->size(), QSize(218, 48));
    EXPECT_EQ(f.Toolbar_Menu->FloatRightX(), 0);
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(112, 2));
    QTest::mouseRelease(win, Qt::LeftButton, {}, {10, 30});
}

TEST(FloatingWidgetTest, FloatingWidthSetInCodeWrapsAndResizes) {
    TestForm f;
    TFloatingWindow97* win = FloatToolbar(f);
    f.Toolbar_Menu->SetFloatingWidth(50);  // narrower than a button: wraps at 108 + 8
    EXPECT_EQ(win->size(), QSize(122, 72));
    // Docking it again lays the buttons out in one line without margins.
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    Flush();
    EXPECT_EQ(f.Toolbar_Menu->DockedTo(), f.Dock_Up);
    EXPECT_EQ(f.ToolbarButton_SaveURLs->pos(), QPoint(108, 0));
    EXPECT_EQ(f.Toolbar_Menu->geometry(), QRect(0, 0, 217, 28));
}

TEST(FloatingWidgetTest, ToolWindowResizesFreelyDownToItsMinimum) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow971;
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    Flush();
    TFloatingWindow97* win = bar->FloatingWindow();
    ASSERT_NE(win, nullptr);
    DragBorder(win, {win->width() - 1, win->height() - 1}, {-40, 10});
    EXPECT_EQ(bar->ClientSize(), QSize(394, 102));
    EXPECT_EQ(win->size(), QSize(400, 123));
    DragBorder(win, {win->width() - 1, win->height() - 1}, {-600, -300});
    EXPECT_EQ(bar->ClientSize(), QSize(32, 32));
    // Docked again it asks for the size it was given.
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    Flush();
    EXPECT_EQ(bar->size(), QSize(32 + 13, 32 + 4));
}

TEST(FloatingWidgetTest, FloatingWindowOutsideTheScreenIsBroughtBack) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow974;
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    Flush();
    TFloatingWindow97* win = bar->FloatingWindow();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    bar->SetFloatingPosition(work.bottomRight() - QPoint(10, 10));
    bar->KeepOnScreen();
    EXPECT_TRUE(work.contains(win->frameGeometry())) << win->frameGeometry().x();
    EXPECT_EQ(bar->FloatingPosition(), win->pos());
    // A drag that ends far off screen still leaves the window on it.
    const QPoint caption = win->CaptionRect().center();
    QTest::mousePress(win, Qt::LeftButton, {}, caption);
    QTest::mouseMove(win, win->mapFromGlobal(QPoint(work.right() + 500, work.top() - 300)));
    QTest::mouseRelease(win, Qt::LeftButton, {},
                        win->mapFromGlobal(QPoint(work.right() + 500, work.top() - 300)));
    Flush();
    EXPECT_TRUE(work.contains(win->frameGeometry()));
}

TEST(FloatingWidgetTest, CloseButtonHidesTheBarAndShowingBringsTheWindowBack) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow974;
    int closed = 0;
    bar->OnClose = [&](TCustomToolWindow97*) { ++closed; };
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    Flush();
    TFloatingWindow97* win = bar->FloatingWindow();
    const QRect button = win->CloseButtonRect();
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(win, Qt::LeftButton, {}, button.center());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(win->isVisible());
    EXPECT_FALSE(bar->BarVisible());
    bar->show();
    EXPECT_TRUE(win->isVisible());
    // Without a close button there is none to press.
    bar->SetCloseButton(false);
    EXPECT_TRUE(win->CloseButtonRect().isEmpty());
}

}  // namespace
}  // namespace zb
