// The drag rules: hit tolerances, candidate order and refusals, outline placement, work-area
// clamping, the "no" cursor and the click that holds a floating bar in place.

#include <gtest/gtest.h>

#include "dock/core/TDragState.h"

namespace zb {
namespace {

TEST(MulDivTest, RoundsToNearestWithWideIntermediate) {
    EXPECT_EQ(MulDiv(219, 108, 216), 110);  // 109.5 rounds up
    EXPECT_EQ(MulDiv(44, 14, 27), 23);      // 22.8
    EXPECT_EQ(MulDiv(10, 1, 4), 3);         // 2.5
    EXPECT_EQ(MulDiv(-10, 1, 4), -3);
    EXPECT_EQ(MulDiv(10, -1, -4), 3);
    EXPECT_EQ(MulDiv(2000000000, 3, 6), 1000000000);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 1), -1);
}

class DragStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A 452 x 192 top dock at screen (100, 100), the bar 217 x 28 docked, 220 x 45 floating.
        TDragCandidate top;
        top.ScreenRect = TRect::FromSize(100, 100, 452, 192);
        top.BarSize = {217, 28};
        Drag.Docks.push_back(top);
        Drag.FloatingSize = {220, 45};
        Drag.WorkAreaOf = [](TPoint) { return TRect::FromSize(0, 0, 1000, 800); };
    }
    TDragState Drag;
};

TEST_F(DragStateTest, BarGrabbedAtItsLeftEdgeDocksUpTo32PixelsLeftOfTheDock) {
    Drag.Begin({0, 10}, {217, 28}, false);
    EXPECT_TRUE(Drag.Hit(0, {100 - 32, 150}));
    EXPECT_FALSE(Drag.Hit(0, {100 - 33, 150}));
    // At the right end the outline must still overlap the dock.
    EXPECT_TRUE(Drag.Hit(0, {551, 150}));
    EXPECT_FALSE(Drag.Hit(0, {552, 150}));
}

TEST_F(DragStateTest, BarGrabbedAtItsRightEdgeDocksUpTo32PixelsRightOfTheDock) {
    Drag.Begin({216, 10}, {217, 28}, false);
    EXPECT_TRUE(Drag.Hit(0, {551 + 32, 150}));
    EXPECT_FALSE(Drag.Hit(0, {551 + 33, 150}));
    EXPECT_FALSE(Drag.Hit(0, {99, 150}));
}

TEST_F(DragStateTest, VerticalToleranceFollowsTheGrabHeight) {
    Drag.Begin({100, 27}, {217, 28}, false);  // grabbed at the bottom edge: 20 pixels below
    EXPECT_TRUE(Drag.Hit(0, {300, 291 + 20}));
    EXPECT_FALSE(Drag.Hit(0, {300, 291 + 21}));
    EXPECT_FALSE(Drag.Hit(0, {300, 99}));
    Drag.Begin({100, 0}, {217, 28}, false);  // grabbed at the top: 20 pixels above
    EXPECT_TRUE(Drag.Hit(0, {300, 80}));
    EXPECT_FALSE(Drag.Hit(0, {300, 79}));
}

TEST_F(DragStateTest, EmptyDockIsWidenedAcrossSoItCanBeHit) {
    Drag.Docks[0].ScreenRect = TRect::FromSize(100, 100, 452, 0);
    Drag.Begin({100, 14}, {217, 28}, false);
    EXPECT_TRUE(Drag.Hit(0, {300, 100}));
    EXPECT_TRUE(Drag.Hit(0, {300, 99 + 10}));
    TDragCandidate left;
    left.ScreenRect = TRect::FromSize(50, 100, 0, 300);
    left.Vertical = true;
    left.BarSize = {28, 217};
    Drag.Docks = {left};
    Drag.Begin({14, 100}, {28, 217}, false);
    EXPECT_TRUE(Drag.Hit(0, {50, 200}));
    EXPECT_FALSE(Drag.Hit(0, {50, 99}));  // a left/right dock needs the cursor within its height
}

TEST_F(DragStateTest, OutlineKeepsTheGrabProportion) {
    Drag.Begin({108, 14}, {217, 28}, false);
    Drag.Update({300, 150});
    EXPECT_EQ(Drag.Target, 0);
    EXPECT_TRUE(Drag.OutlineDocked);
    EXPECT_EQ(Drag.Outline, TRect::FromSize(300 - 108, 150 - 14, 217, 28));
    Drag.Update({300, 600});
    EXPECT_EQ(Drag.Target, -1);
    EXPECT_FALSE(Drag.OutlineDocked);
    EXPECT_EQ(Drag.Outline, TRect::FromSize(300 - 110, 600 - 23, 220, 45));
    EXPECT_EQ(Drag.PreviousOutline, TRect::FromSize(300 - 108, 150 - 14, 217, 28));
    EXPECT_TRUE(Drag.PreviousDocked);
}

TEST_F(DragStateTest, RefusedDockLetsTheNextCandidateOrFloatingTakeTheBar) {
    TDragCandidate second = Drag.Docks[0];
    second.BarSize = {200, 30};
    Drag.Docks.push_back(second);
    int asked = 0;
    Drag.Docks[0].RequestDock = [&] {
        ++asked;
        return false;
    };
    Drag.Begin({108, 14}, {217, 28}, false);
    Drag.Update({300, 150});
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Drag.Target, 1);
    EXPECT_EQ(Drag.Outline.Width(), 200);
    Drag.Docks[1].RequestDock = [] { return false; };
    Drag.Update({300, 150});
    EXPECT_EQ(Drag.Target, -1);
    EXPECT_EQ(Drag.Outline.Size(), (TSize{220, 45}));
}

TEST_F(DragStateTest, NoDockFlagNeverDocks) {
    Drag.Begin({108, 14}, {217, 28}, true);
    Drag.Update({300, 150});
    EXPECT_EQ(Drag.Target, -1);
    Drag.NoDock = false;
    Drag.Update({300, 150});
    EXPECT_EQ(Drag.Target, 0);
}

TEST_F(DragStateTest, HeldDragStaysOnTheFloatingWindowUntilTheCursorLeavesTheClickReach) {
    // A floating window 220 x 45 at (250, 130), over the dock, pressed at (300, 150).
    Drag.Begin({50, 20}, {220, 45}, false);
    Drag.HoldUntilMoved({300, 150}, 5);
    const TRect window = TRect::FromSize(250, 130, 220, 45);
    for (TPoint p : {TPoint{300, 150}, TPoint{305, 145}, TPoint{295, 155}}) {
        Drag.Update(p);
        EXPECT_TRUE(Drag.Held);
        EXPECT_EQ(Drag.Target, -1);
        EXPECT_EQ(Drag.Outline, window);
    }
    // One pixel further on either axis makes it a drag, with the dock under the cursor; back
    // at the press point it stays one.
    for (TPoint p : {TPoint{306, 150}, TPoint{300, 150}}) {
        Drag.Update(p);
        EXPECT_FALSE(Drag.Held);
        EXPECT_EQ(Drag.Target, 0);
    }
    Drag.HoldUntilMoved({300, 150}, 5);
    Drag.Update({300, 144});
    EXPECT_FALSE(Drag.Held);
}

TEST_F(DragStateTest, BarThatCannotFloatShowsTheNoCursorAwayFromDocks) {
    Drag.CanFloat = false;
    Drag.Begin({108, 14}, {217, 28}, false);
    Drag.Update({300, 600});
    EXPECT_TRUE(Drag.ShowNoCursor);
    EXPECT_TRUE(Drag.Outline.IsEmpty());
    Drag.Update({300, 150});
    EXPECT_FALSE(Drag.ShowNoCursor);
    EXPECT_FALSE(Drag.Outline.IsEmpty());
}

TEST_F(DragStateTest, FloatingOutlineStaysReachable) {
    Drag.Begin({108, 14}, {217, 28}, false);
    // The cursor is clamped into the work area first.
    Drag.Update({-500, 400});
    EXPECT_EQ(Drag.Outline.left, 0 - 110);
    // Grabbed far from the outline's right edge, so it lies wholly left of the inset area:
    // moved right to touch it.
    Drag.Begin({216, 14}, {217, 28}, false);
    Drag.Update({2, 400});
    EXPECT_EQ(Drag.Outline.right, 3 + 4);
    // Wholly below the inset area: moved up to touch its bottom.
    Drag.Begin({108, 0}, {217, 28}, false);
    Drag.Update({500, 799});
    EXPECT_EQ(Drag.Outline.top, 800 - 7);
    // Its top may not rise above the work area's top by more than the top frame plus 4.
    Drag.FloatingTopFrame = 3;
    Drag.Begin({108, 27}, {217, 28}, false);
    Drag.Update({500, 10});
    EXPECT_EQ(Drag.Outline.top, 0 - 7);
}

}  // namespace
}  // namespace zb
