// The flat toolbar button: hot tracking, pressed look, click on release inside, groups,
// repeat, drop-down menus, keyboard and painting.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "QtPrinters.h"
#include "TestForm.h"

namespace zb {
namespace {

using test::Flush;
using test::PixelAt;

const QColor kFace(192, 192, 192), kShadow(128, 128, 128), kHighlight(255, 255, 255);

class ToolbarButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form.setGeometry(50, 50, 300, 100);
        A = new TToolbarButton97(&Form);
        A->setGeometry(10, 10, 60, 24);
        A->SetCaption("&Alpha");
        A->OnClick = [this] { ++ClicksA; };
        B = new TToolbarButton97(&Form);
        B->setGeometry(80, 10, 60, 24);
        B->SetCaption("Beta");
        B->OnClick = [this] { ++ClicksB; };
        Form.show();
        QApplication::setActiveWindow(&Form);
        Flush();
    }
    void TearDown() override { QTest::mouseMove(&Form, {290, 90}); }

    QWidget Form;
    TToolbarButton97* A;
    TToolbarButton97* B;
    int ClicksA = 0;
    int ClicksB = 0;
};

TEST_F(ToolbarButtonTest, NewButtonDefaults) {
    TToolbarButton97 fresh;
    EXPECT_EQ(fresh.size(), QSize(23, 22));
    EXPECT_TRUE(fresh.Flat());
    EXPECT_EQ(fresh.State(), bsUp);
    EXPECT_EQ(fresh.DropdownArrowWidth(), 9);
    EXPECT_EQ(fresh.RepeatDelay(), 400);
    EXPECT_EQ(fresh.RepeatInterval(), 100);
}

TEST_F(ToolbarButtonTest, FlatButtonShowsNoFrameAtRestRaisedWhenHotSunkenWhenPressed) {
    EXPECT_FALSE(A->FrameShown());
    EXPECT_EQ(PixelAt(A, 0, 0), kFace);
    EXPECT_EQ(PixelAt(A, 59, 23), kFace);

    QTest::mouseMove(A, {30, 12});
    EXPECT_EQ(TToolbarButton97::HotButton(), A);
    EXPECT_TRUE(TToolbarButton97::HotTimerActive());
    EXPECT_EQ(A->State(), bsMouseIn);
    EXPECT_EQ(PixelAt(A, 0, 0), kHighlight);
    EXPECT_EQ(PixelAt(A, 59, 23), kShadow);
    EXPECT_EQ(PixelAt(A, 1, 1), kFace);
    const QRect restContent = A->ContentRect();

    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(A->State(), bsDown);
    EXPECT_TRUE(A->Pushed());
    EXPECT_EQ(PixelAt(A, 0, 0), kShadow);
    EXPECT_EQ(PixelAt(A, 59, 23), kHighlight);
    EXPECT_EQ(A->ContentRect(), restContent.translated(1, 1));
    EXPECT_EQ(ClicksA, 0);
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(ClicksA, 1);
    EXPECT_FALSE(A->Pushed());
}

TEST_F(ToolbarButtonTest, MovingToAnotherButtonMovesTheHotState) {
    int entered = 0, exited = 0;
    A->OnMouseEnter = [&] { ++entered; };
    A->OnMouseExit = [&] { ++exited; };
    QTest::mouseMove(A, {30, 12});
    QTest::mouseMove(B, {30, 12});
    EXPECT_EQ(TToolbarButton97::HotButton(), B);
    EXPECT_FALSE(A->MouseIn());
    EXPECT_EQ(A->State(), bsUp);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 1);
}

TEST_F(ToolbarButtonTest, TimerDropsTheHotStateWhenTheCursorIsElsewhere) {
    QTest::mouseMove(A, {30, 12});
    ASSERT_EQ(TToolbarButton97::HotButton(), A);
    // The cursor goes away without any message reaching the button.
    QCursor::setPos(Form.mapToGlobal(QPoint(250, 80)));
    TToolbarButton97::CheckHotButton();
    EXPECT_EQ(TToolbarButton97::HotButton(), nullptr);
    EXPECT_FALSE(A->MouseIn());
    EXPECT_FALSE(TToolbarButton97::HotTimerActive());
    // And the shared timer does it by itself.
    QCursor::setPos(A->mapToGlobal(QPoint(30, 12)));
    QTest::mouseMove(A, {30, 12});
    ASSERT_TRUE(A->MouseIn());
    QCursor::setPos(Form.mapToGlobal(QPoint(250, 80)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !A->MouseIn(); }));
}

TEST_F(ToolbarButtonTest, ReleaseOutsideDoesNotClickButComingBackDoes) {
    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    QTest::mouseMove(A, {100, 12});
    EXPECT_EQ(A->State(), bsUp);
    EXPECT_FALSE(A->Pushed());
    QTest::mouseRelease(A, Qt::LeftButton, {}, {100, 12});
    EXPECT_EQ(ClicksA, 0);
    EXPECT_FALSE(A->MouseIsDown());

    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    QTest::mouseMove(A, {100, 12});
    QTest::mouseMove(A, {30, 12});
    EXPECT_EQ(A->State(), bsDown);
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(ClicksA, 1);
    EXPECT_EQ(ClicksB, 0);
}

TEST_F(ToolbarButtonTest, ButtonIsShownDownWhileItsClickHandlerRuns) {
    TButtonState97 during = bsUp;
    A->OnClick = [&] { during = A->State(); };
    QTest::mouseClick(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(during, bsDown);
    TToolbarButton97::ButtonsStayDown = false;
    A->Click();
    TToolbarButton97::ButtonsStayDown = true;
    EXPECT_NE(during, bsDown);
}

TEST_F(ToolbarButtonTest, GroupKeepsOneButtonDown) {
    A->SetGroupIndex(1);
    B->SetGroupIndex(1);
    QTest::mouseClick(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_TRUE(A->Down());
    EXPECT_EQ(A->State(), bsExclusive);
    QTest::mouseClick(B, Qt::LeftButton, {}, {30, 12});
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(A->State(), bsUp);
    // Clicking the down button again keeps it down...
    QTest::mouseClick(B, Qt::LeftButton, {}, {30, 12});
    EXPECT_TRUE(B->Down());
    EXPECT_EQ(ClicksB, 2);
    // ...unless the group allows all up.
    B->SetAllowAllUp(true);
    EXPECT_TRUE(A->AllowAllUp());
    QTest::mouseClick(B, Qt::LeftButton, {}, {30, 12});
    EXPECT_FALSE(B->Down());
    // Without a group a button cannot stay down.
    TToolbarButton97 plain(&Form);
    plain.SetDown(true);
    EXPECT_FALSE(plain.Down());
}

TEST_F(ToolbarButtonTest, DoubleClickOnADownButtonRaisesItsEvent) {
    int doubles = 0;
    A->OnDblClick = [&] { ++doubles; };
    QTest::mouseDClick(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(doubles, 0);
    A->SetGroupIndex(3);
    A->SetDown(true);
    QTest::mouseDClick(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(doubles, 1);
}

TEST_F(ToolbarButtonTest, RepeatingButtonClicksOnPressAndWhileHeldInside) {
    A->SetRepeating(true);
    A->SetRepeatDelay(20);
    A->SetRepeatInterval(10);
    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(ClicksA, 1);
    EXPECT_TRUE(A->RepeatTimerActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ClicksA >= 3; }));
    // Outside the button the repeating stops at the next tick; back inside it resumes.
    QTest::mouseMove(A, {100, 12});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !A->RepeatTimerActive(); }));
    const int held = ClicksA;
    QTest::mouseMove(A, {30, 12});
    EXPECT_TRUE(A->RepeatTimerActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ClicksA > held; }));
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_FALSE(A->RepeatTimerActive());
    const int released = ClicksA;
    Flush();
    EXPECT_EQ(ClicksA, released);  // release inside does not add a click
}

TEST_F(ToolbarButtonTest, DropdownButtonOpensItsMenuOnPress) {
    QMenu menu;
    menu.addAction("First");
    A->SetDropdownMenu(&menu);
    int dropdowns = 0;
    A->OnDropdown = [&](TToolbarButton97* sender, bool& showMenu, bool& removeClicks) {
        EXPECT_EQ(sender, A);
        EXPECT_TRUE(showMenu);
        EXPECT_TRUE(removeClicks);
        ++dropdowns;
    };
    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(dropdowns, 1);
    EXPECT_EQ(ClicksA, 1);  // a plain drop-down button also clicks
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(A->MenuShowing());
    EXPECT_EQ(menu.pos(), A->mapToGlobal(QPoint(0, A->height())));
    EXPECT_EQ(A->State(), bsDown);
    menu.hide();
    Flush();
    EXPECT_FALSE(A->MenuShowing());
    EXPECT_EQ(A->State(), bsUp);
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(ClicksA, 1);

    // A handler can keep the menu closed.
    A->OnDropdown = [](TToolbarButton97*, bool& showMenu, bool&) { showMenu = false; };
    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_FALSE(menu.isVisible());
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
}

TEST_F(ToolbarButtonTest, SplitButtonClicksOnItsMainPartAndOpensTheMenuOnItsArrow) {
    QMenu menu;
    menu.addAction("First");
    A->SetDropdownMenu(&menu);
    A->SetDropdownCombo(true);
    EXPECT_EQ(A->MainPart(), QRect(0, 0, 60 - 11, 24));
    QTest::mouseClick(A, Qt::LeftButton, {}, {20, 12});
    EXPECT_EQ(ClicksA, 1);
    EXPECT_FALSE(menu.isVisible());
    QTest::mousePress(A, Qt::LeftButton, {}, {55, 12});
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(ClicksA, 1);
    EXPECT_FALSE(A->Pushed());  // the main part is not pushed while the arrow is
    menu.hide();
    Flush();
    QTest::mouseRelease(A, Qt::LeftButton, {}, {55, 12});
}

TEST_F(ToolbarButtonTest, KeyboardClicksThroughTheAcceleratorDefaultAndCancel) {
    QTest::keyClick(&Form, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(ClicksA, 1);
    B->SetDefault(true);
    QTest::keyClick(&Form, Qt::Key_Return);
    EXPECT_EQ(ClicksB, 1);
    B->SetDefault(false);
    B->SetCancel(true);
    QTest::keyClick(&Form, Qt::Key_Escape);
    EXPECT_EQ(ClicksB, 2);
    // Not while disabled, nor when only the picture is shown.
    A->setEnabled(false);
    QTest::keyClick(&Form, Qt::Key_A, Qt::AltModifier);
    A->setEnabled(true);
    A->SetDisplayMode(dmGlyphOnly);
    QTest::keyClick(&Form, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(ClicksA, 1);
}

TEST_F(ToolbarButtonTest, DisablingDropsHotAndPressedStates) {
    QTest::mouseMove(A, {30, 12});
    QTest::mousePress(A, Qt::LeftButton, {}, {30, 12});
    A->setEnabled(false);
    EXPECT_EQ(A->State(), bsDisabled);
    EXPECT_FALSE(A->MouseIn());
    EXPECT_FALSE(A->MouseIsDown());
    EXPECT_EQ(TToolbarButton97::HotButton(), nullptr);
    QTest::mouseRelease(A, Qt::LeftButton, {}, {30, 12});
    EXPECT_EQ(ClicksA, 0);
    EXPECT_FALSE(A->FrameShown());
    A->setEnabled(true);
    EXPECT_EQ(A->State(), bsUp);
    A->SetGroupIndex(2);
    A->SetDown(true);
    A->setEnabled(false);
    A->setEnabled(true);
    EXPECT_EQ(A->State(), bsExclusive);
}

TEST_F(ToolbarButtonTest, NonFlatAndBorderlessFrames) {
    A->SetFlat(false);
    EXPECT_TRUE(A->FrameShown());
    EXPECT_EQ(A->ContentRect(), QRect(2, 2, 56, 20));
    A->SetNoBorder(true);
    EXPECT_FALSE(A->FrameShown());
    EXPECT_EQ(A->ContentRect(), QRect(0, 0, 60, 24));
}

}  // namespace
}  // namespace zb
