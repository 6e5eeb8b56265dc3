// Dragging, floating and docking the bars of a form laid out like the main window, with
// QTest mouse and key events, one mouse step at a time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTest>

#include "QtPrinters.h"
#include "TestForm.h"
#include "dock/widgets/TBarDrag97.h"
#include "dock/widgets/TDragOutline97.h"
#include "dock/widgets/TFloatingWindow97.h"

namespace zb {
namespace {

using test::Flush;
using test::TestForm;

// Presses on `grab` (in `source`), moves in steps of `step` pixels to `to` (form
// coordinates), and returns without releasing.
void PressAndMove(TestForm& f, QWidget* source, QPoint grab, QPoint to,
                  Qt::KeyboardModifiers mods = {}, int step = 4) {
    QTest::mousePress(source, Qt::LeftButton, mods, grab);
    QPoint at = source->mapTo(source->window(), grab);
    QWidget* window = source->window();
    const QPoint target = window == &f.Form ? to : window->mapFromGlobal(f.Form.mapToGlobal(to));
    while (at != target) {
        const QPoint d = target - at;
        at += QPoint(std::clamp(d.x(), -step, step), std::clamp(d.y(), -step, step));
        QTest::mouseMove(window, at);
    }
}

void Release(TestForm& f, QPoint to) {
    QWidget* grabber = QWidget::mouseGrabber();
    QWidget* window = grabber ? grabber->window() : &f.Form;
    QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(f.Form.mapToGlobal(to)));
    Flush();
}

void Drag(TestForm& f, QWidget* source, QPoint grab, QPoint to) {
    PressAndMove(f, source, grab, to);
    Release(f, to);
}

QPoint InForm(TestForm& f, QWidget* w, QPoint p) {
    return w->mapTo(&f.Form, p);
}

TEST(DragWidgetTest, ToolWindowDraggedBelowTheLastRowOpensANewRow) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    PressAndMove(f, bar, {5, 10}, {7, 195});
    TBarDrag97* drag = bar->ActiveDrag();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->TargetDock(), f.Dock_Up);
    // A thin outline in the docked shape follows the cursor.
    ASSERT_TRUE(drag->Outline()->isVisible());
    EXPECT_EQ(drag->Outline()->Thickness(), 1);
    EXPECT_EQ(drag->Outline()->FrameRect().size(), QSize(445, 32));
    EXPECT_EQ(QWidget::mouseGrabber(), bar);
    Release(f, {7, 195});

    EXPECT_EQ(bar->ActiveDrag(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    // Its old row closed; it now stands below the proxy window.
    EXPECT_EQ(bar->DockRow(), 3);
    EXPECT_EQ(f.ToolWindow971->DockRow(), 1);
    EXPECT_EQ(f.ToolWindow973->DockRow(), 2);
    EXPECT_EQ(f.ToolWindow971->geometry(), QRect(0, 28, 447, 96));
    EXPECT_EQ(bar->geometry().top(), 28 + 96 + 36);
    EXPECT_EQ(f.Dock_Up->height(), 192);
    EXPECT_EQ(f.Rest->geometry().top(), 192);
}

TEST(DragWidgetTest, DroppingOnTheTopOfARowOpensARowBeforeIt) {
    TestForm f;
    TToolWindow97* logo = f.ToolWindow974;
    // Grab the logo window's grip and drop its centre 2 pixels into row 2's band.
    const QPoint grab(5, 14);  // the bar is 28 high: centre across at 14
    Drag(f, logo, grab, {300, 60 + 2});
    EXPECT_EQ(logo->DockRow(), 2);
    EXPECT_EQ(f.ToolWindow971->DockRow(), 3);
    EXPECT_EQ(f.ToolWindow973->DockRow(), 4);
    // The drop position became the preferred one.
    EXPECT_EQ(logo->DockPos(), 300 - 5);
    EXPECT_EQ(logo->geometry(), QRect(295, 60, 89, 28));
    EXPECT_EQ(f.Dock_Up->height(), 192 + 28);
}

TEST(DragWidgetTest, DraggingAlongTheRowMovesTheBar) {
    TestForm f;
    TToolWindow97* logo = f.ToolWindow974;
    Drag(f, logo, {5, 14}, InForm(f, logo, {5, 14}) - QPoint(100, 0));
    EXPECT_EQ(logo->DockRow(), 0);
    EXPECT_EQ(logo->DockPos(), 258);
    EXPECT_EQ(logo->x(), 258);
    // Pushed against the toolbar, it stops right after it.
    Drag(f, logo, {5, 14}, InForm(f, logo, {5, 14}) - QPoint(200, 0));
    EXPECT_EQ(logo->DockPos(), 217);
}

TEST(DragWidgetTest, DraggedOffTheDockTheBarFloatsWhereTheOutlineWas) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    PressAndMove(f, bar, {5, 10}, {7, 250});
    TBarDrag97* drag = bar->ActiveDrag();
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->TargetDock(), nullptr);
    const QRect outline = drag->Outline()->FrameRect();
    EXPECT_EQ(drag->Outline()->Thickness(), TFloatingFrame::Border);
    EXPECT_EQ(outline.size(), QSize(432 + 6, 28 + 21));
    const QPoint cursor = f.Form.mapToGlobal(QPoint(7, 250));
    EXPECT_EQ(outline.topLeft(), cursor - QPoint(MulDiv(437, 5, 444), MulDiv(48, 10, 31)));
    Release(f, {7, 250});

    ASSERT_TRUE(bar->Floating());
    ASSERT_NE(bar->FloatingWindow(), nullptr);
    EXPECT_TRUE(bar->FloatingWindow()->isVisible());
    EXPECT_EQ(bar->FloatingWindow()->geometry(), outline);
    EXPECT_EQ(bar->FloatingPosition(), outline.topLeft());
    EXPECT_EQ(bar->LastDock(), f.Dock_Up);
    // The controls went with it and still work.
    EXPECT_EQ(f.CheckBox_UseProxy->window(), bar->FloatingWindow());
    QTest::mouseClick(f.CheckBox_UseProxy, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(f.CheckBox_UseProxy->isChecked());
    // The dock closed the row.
    EXPECT_EQ(f.Dock_Up->height(), 192 - 32);
    EXPECT_EQ(f.ToolWindow971->DockRow(), 1);
}

TEST(DragWidgetTest, FloatingBarDraggedByItsCaptionDocksIntoARow) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    Drag(f, bar, {5, 10}, {7, 250});
    ASSERT_TRUE(bar->Floating());
    TFloatingWindow97* win = bar->FloatingWindow();
    // Grab the caption and bring the window over the top edge of row 0 (the docked outline's
    // centre within row 0's first five pixels).
    const QPoint grab(40, 8);
    PressAndMove(f, win, grab, {60, -10});
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    EXPECT_EQ(bar->ActiveDrag()->TargetDock(), f.Dock_Up);
    EXPECT_EQ(bar->ActiveDrag()->Outline()->FrameRect().size(), QSize(445, 32));
    Release(f, {60, -10});
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(f.Toolbar_Menu->DockRow(), 1);
    EXPECT_EQ(bar->geometry().top(), 0);
    EXPECT_EQ(bar->FloatingWindow(), nullptr);
    Flush();
    EXPECT_EQ(f.CheckBox_UseProxy->window(), &f.Form);
}

TEST(DragWidgetTest, EscapeOrASecondPressCancels) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    const QRect before = bar->geometry();
    PressAndMove(f, bar, {5, 10}, {7, 250});
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    QTest::keyPress(f.Edit_AndKeyWord, Qt::Key_Escape);
    Flush();
    EXPECT_EQ(bar->ActiveDrag(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    Release(f, {7, 250});
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    EXPECT_EQ(bar->geometry(), before);
    EXPECT_EQ(f.Edit_AndKeyWord->text(), QString());

    PressAndMove(f, bar, {5, 10}, {7, 250});
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    QTest::mousePress(&f.Form, Qt::LeftButton, {}, {7, 250});
    Flush();
    EXPECT_EQ(bar->ActiveDrag(), nullptr);
    QTest::mouseRelease(&f.Form, Qt::LeftButton, {}, {7, 250});
    EXPECT_EQ(bar->geometry(), before);
}

TEST(DragWidgetTest, CtrlTogglesDockingMidDrag) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    PressAndMove(f, bar, {5, 10}, {7, 195});
    TBarDrag97* drag = bar->ActiveDrag();
    ASSERT_NE(drag, nullptr);
    ASSERT_EQ(drag->TargetDock(), f.Dock_Up);
    QTest::keyPress(bar, Qt::Key_Control);
    EXPECT_EQ(drag->TargetDock(), nullptr);
    EXPECT_EQ(drag->Outline()->Thickness(), TFloatingFrame::Border);
    QTest::keyRelease(bar, Qt::Key_Control, {});
    EXPECT_EQ(drag->TargetDock(), f.Dock_Up);
    EXPECT_EQ(drag->Outline()->Thickness(), 1);
    QTest::keyPress(bar, Qt::Key_Control);
    Release(f, {7, 195});
    EXPECT_TRUE(bar->Floating());
}

TEST(DragWidgetTest, CtrlHeldAtThePressNeverDocks) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow974;
    PressAndMove(f, bar, {5, 14}, InForm(f, bar, {5, 14}) - QPoint(50, 0), Qt::ControlModifier);
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    EXPECT_EQ(bar->ActiveDrag()->TargetDock(), nullptr);
    Release(f, InForm(f, bar, {5, 14}) - QPoint(50, 0));
    EXPECT_TRUE(bar->Floating());
}

TEST(DragWidgetTest, BarThatCannotFloatShowsTheNoCursorAndStaysPut) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    bar->SetDockMode(dmCannotFloat);
    const QRect before = bar->geometry();
    PressAndMove(f, bar, {5, 10}, {7, 250});
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ForbiddenCursor);
    EXPECT_FALSE(bar->ActiveDrag()->Outline()->isVisible());
    // Back over the dock the cursor returns.
    QTest::mouseMove(&f.Form, {7, 195});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QTest::mouseMove(&f.Form, {7, 250});
    Release(f, {7, 250});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    EXPECT_EQ(bar->geometry(), before);
}

TEST(DragWidgetTest, CannotChangeDocksKeepsTheBarOnItsDock) {
    TestForm f;
    auto* bottom = new TDock97(&f.Form, dpBottom);
    Flush();
    TToolWindow97* bar = f.ToolWindow974;
    bar->SetDockMode(dmCannotFloatOrChangeDocks);
    PressAndMove(f, bar, {5, 14}, {300, 265});
    ASSERT_NE(bar->ActiveDrag(), nullptr);
    EXPECT_EQ(bar->ActiveDrag()->CandidateDocks().size(), 1u);
    Release(f, {300, 265});
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    EXPECT_FALSE(bottom->HasVisibleToolbars());
}

TEST(DragWidgetTest, RefusedOrUnsuitableDocksNeverReceiveTheBar) {
    TestForm f;
    auto* bottom = new TDock97(&f.Form, dpBottom);
    Flush();
    TToolWindow97* bar = f.ToolWindow974;
    int asked = 0;
    bottom->OnRequestDock = [&](TDock97* sender, TCustomToolWindow97* which, bool& accept) {
        EXPECT_EQ(sender, bottom);
        EXPECT_EQ(which, bar);
        ++asked;
        accept = false;
    };
    const QPoint overBottom(300, 266);
    Drag(f, bar, {5, 14}, overBottom);
    EXPECT_GT(asked, 0);
    EXPECT_TRUE(bar->Floating());

    // Docks that bar may not use are not even candidates.
    TToolWindow97* other = f.ToolWindow973;
    other->SetDockableTo(DockPositionBit(dpTop));
    PressAndMove(f, other, {5, 18}, overBottom);
    ASSERT_NE(other->ActiveDrag(), nullptr);
    EXPECT_EQ(other->ActiveDrag()->CandidateDocks().size(), 1u);
    Release(f, overBottom);
    bottom->OnRequestDock = nullptr;
    bottom->SetAllowDrag(false);
    TToolWindow97* third = f.ToolWindow971;
    PressAndMove(f, third, {5, 18}, overBottom);
    ASSERT_NE(third->ActiveDrag(), nullptr);
    EXPECT_EQ(third->ActiveDrag()->CandidateDocks().size(), 1u);
    Release(f, overBottom);
    EXPECT_FALSE(bottom->HasVisibleToolbars());
}

TEST(DragWidgetTest, BarsMoveToADockOnTheOtherEdge) {
    TestForm f;
    auto* bottom = new TDock97(&f.Form, dpBottom);
    bottom->OnResize = f.Dock_Up->OnResize;
    Flush();
    EXPECT_EQ(bottom->height(), 0);
    // An empty dock is hit within a pixel of its edge.
    Drag(f, f.ToolWindow974, {5, 14}, {300, 267});
    EXPECT_EQ(f.ToolWindow974->DockedTo(), bottom);
    EXPECT_EQ(bottom->geometry(), QRect(0, 268 - 28, 452, 28));
    EXPECT_EQ(f.ToolWindow974->LastDock(), bottom);
    EXPECT_EQ(f.Rest->geometry(), QRect(0, 192, 452, 268 - 192 - 28));
}

TEST(DragWidgetTest, ClientAreaPressDragsButChildControlsKeepTheirPresses) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    // A press on a check box belongs to it.
    QTest::mousePress(f.CheckBox_fromJapan, Qt::LeftButton, {}, {5, 8});
    EXPECT_EQ(bar->ActiveDrag(), nullptr);
    QTest::mouseRelease(f.CheckBox_fromJapan, Qt::LeftButton, {}, {5, 8});
    EXPECT_TRUE(f.CheckBox_fromJapan->isChecked());
    // A press on a label inside a bar does not drag either.
    QWidget* label = f.ToolWindow971->ClientArea()->childAt(10, 10);
    ASSERT_NE(label, nullptr);
    QTest::mousePress(label, Qt::LeftButton, {}, {3, 3});
    EXPECT_EQ(f.ToolWindow971->ActiveDrag(), nullptr);
    QTest::mouseRelease(label, Qt::LeftButton, {}, {3, 3});
    // The free client area drags.
    Drag(f, bar->ClientArea(), {150, 10}, InForm(f, bar->ClientArea(), {150, 10}) + QPoint(0, 220));
    EXPECT_TRUE(bar->Floating());
}

TEST(DragWidgetTest, DockWithoutDraggingIgnoresPressesAndDrawsNoGrips) {
    TestForm f;
    const QColor gripBefore = test::PixelAt(f.Toolbar_Menu, 4, 10);
    EXPECT_EQ(gripBefore, QColor(255, 255, 255));
    f.Dock_Up->SetAllowDrag(false);
    EXPECT_EQ(test::PixelAt(f.Toolbar_Menu, 4, 10), QColor(192, 192, 192));
    QTest::mousePress(f.Toolbar_Menu, Qt::LeftButton, {}, {5, 10});
    EXPECT_EQ(f.Toolbar_Menu->ActiveDrag(), nullptr);
    QTest::mouseRelease(f.Toolbar_Menu, Qt::LeftButton, {}, {5, 10});
    QTest::mouseDClick(f.Toolbar_Menu, Qt::LeftButton, {}, {5, 10});
    EXPECT_FALSE(f.Toolbar_Menu->Floating());
    QTest::mouseDClick(f.ToolWindow972->ClientArea(), Qt::LeftButton, {}, {150, 10});
    EXPECT_FALSE(f.ToolWindow972->Floating());
}

TEST(DragWidgetTest, DoubleClickFloatsAndDocksAgain) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow974;
    const QPoint where = bar->mapToGlobal(QPoint(0, 0));
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    Flush();
    ASSERT_TRUE(bar->Floating());
    // It floats where it stood, on screen.
    EXPECT_EQ(bar->FloatingPosition(), where);
    EXPECT_EQ(bar->FloatingWindow()->pos(), where);
    EXPECT_EQ(bar->FloatingWindow()->size(), QSize(76 + 6, 24 + 21));
    EXPECT_EQ(f.Dock_Up->Bars().size(), 4);

    TFloatingWindow97* win = bar->FloatingWindow();
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    Flush();
    EXPECT_EQ(bar->DockedTo(), f.Dock_Up);
    EXPECT_EQ(bar->DockRow(), 0);
    EXPECT_EQ(bar->geometry(), QRect(358, 0, 89, 28));
    EXPECT_EQ(f.Dock_Up->height(), 192);

    // Floating again, it returns to where it floated last.
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    Flush();
    EXPECT_EQ(bar->FloatingWindow()->pos(), where);
}

TEST(DragWidgetTest, DoubleClickRespectsDockModeAndDefaultDock) {
    TestForm f;
    f.ToolWindow972->SetDockMode(dmCannotFloat);
    QTest::mouseDClick(f.ToolWindow972, Qt::LeftButton, {}, {5, 10});
    EXPECT_FALSE(f.ToolWindow972->Floating());

    // A bar made on the form floats; without LastDock or DefaultDock a double click does
    // nothing, with DefaultDock it docks first in row 0.
    auto* loose = new TToolWindow97(&f.Form);
    loose->SetClientSize(40, 20);
    Flush();
    ASSERT_TRUE(loose->Floating());
    TFloatingWindow97* win = loose->FloatingWindow();
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    EXPECT_TRUE(loose->Floating());
    loose->SetDefaultDock(f.Dock_Up);
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    Flush();
    EXPECT_EQ(loose->DockedTo(), f.Dock_Up);
    EXPECT_EQ(loose->DockRow(), 0);
    EXPECT_EQ(loose->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(f.Toolbar_Menu->x(), loose->width());
}

TEST(DragWidgetTest, DockedCloseButtonHidesTheBar) {
    TestForm f;
    TToolWindow97* bar = f.ToolWindow973;
    int closed = 0;
    bar->OnClose = [&](TCustomToolWindow97*) { ++closed; };
    bar->SetCloseButtonWhenDocked(true);
    Flush();
    EXPECT_EQ(bar->ClientArea()->x(), 16);
    const QRect button = bar->DockedCloseButtonRect();
    EXPECT_EQ(button, QRect(3, 2, 11, 11));
    // Pressed and released outside: nothing.
    QTest::mousePress(bar, Qt::LeftButton, {}, button.center());
    EXPECT_EQ(bar->ActiveDrag(), nullptr);
    QTest::mouseMove(bar, {8, 30});
    QTest::mouseRelease(bar, Qt::LeftButton, {}, {8, 30});
    EXPECT_TRUE(bar->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, button.center());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(f.Dock_Up->height(), 156);
    bar->show();
    EXPECT_EQ(f.Dock_Up->height(), 192);
}

TEST(DragWidgetTest, ButtonsStillWorkAfterTheBarsWereRearranged) {
    TestForm f;
    Drag(f, f.Toolbar_Menu, {5, 14}, {20, 195});
    EXPECT_EQ(f.Toolbar_Menu->DockRow(), 4);
    QTest::mouseClick(f.ToolbarButtonSearchGet, Qt::LeftButton, {}, {20, 10});
    EXPECT_EQ(f.SearchClicks, 1);
    QTest::mouseDClick(f.Toolbar_Menu, Qt::LeftButton, {}, {5, 14});
    Flush();
    ASSERT_TRUE(f.Toolbar_Menu->Floating());
    QTest::mouseClick(f.ToolbarButton_SaveURLs, Qt::LeftButton, {}, {20, 10});
    EXPECT_EQ(f.SaveClicks, 1);
    QTest::keyClicks(f.Edit_AndKeyWord, "cat");
    EXPECT_EQ(f.Edit_AndKeyWord->text(), QString("cat"));
}

}  // namespace
}  // namespace zb

namespace zb {
namespace {

TEST(DragWidgetTest, BarThatHadARowOfItsOwnGetsItBackWhenDockedAgain) {
    test::TestForm f;
    TToolWindow97* bar = f.ToolWindow972;
    QTest::mouseDClick(bar, Qt::LeftButton, {}, {5, 10});
    test::Flush();
    ASSERT_TRUE(bar->Floating());
    // Its row closed while it floated: the keyword window took row 1.
    EXPECT_EQ(f.ToolWindow971->DockRow(), 1);
    TFloatingWindow97* win = bar->FloatingWindow();
    QTest::mouseDClick(win, Qt::LeftButton, {}, win->CaptionRect().center());
    test::Flush();
    EXPECT_EQ(bar->DockRow(), 1);
    EXPECT_EQ(f.ToolWindow971->DockRow(), 2);
    EXPECT_EQ(bar->geometry(), QRect(2, 28, 445, 32));
    EXPECT_EQ(f.Dock_Up->height(), 192);
}

}  // namespace
}  // namespace zb
