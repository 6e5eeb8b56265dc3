// The dock's row model: arrangement into rows, the dock's thickness, and the row hit tests.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "FakeDockBar.h"
#include "dock/core/TDockLayout.h"

namespace zb {
namespace {

using test::FakeDockBar;

class DockLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dock.ClientLength = [this] { return Length; };
        Dock.SetOuterThickness = [this](int t) {
            Thickness = t;
            ++ThicknessCalls;
        };
    }
    FakeDockBar* Add(int row, int pos, int barSize, int length) {
        Bars.push_back(std::make_unique<FakeDockBar>(row, pos, barSize, length));
        Dock.ChangeDockList(true, Bars.back().get());
        return Bars.back().get();
    }

    TDockLayout Dock;
    std::vector<std::unique_ptr<FakeDockBar>> Bars;
    int Length = 452;
    int Thickness = -1;
    int ThicknessCalls = 0;
};

TEST_F(DockLayoutTest, EmptyDockThicknessDependsOnFixAlignAndDesign) {
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Thickness, 0);
    Dock.FixAlign = true;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Thickness, 1);
    Dock.Designing = true;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Thickness, 9);

    // A dock whose only bar is hidden counts as empty.
    Dock.Designing = false;
    Dock.FixAlign = false;
    FakeDockBar* bar = Add(0, 0, 24, 50);
    EXPECT_EQ(Thickness, 28);
    bar->Visible = false;
    Dock.ToolbarVisibilityChanged(bar, false);
    EXPECT_EQ(Thickness, 0);
}

TEST_F(DockLayoutTest, MainWindowDockRowsAndHeight) {
    // The command toolbar (client 204 x 24) and the four tool windows with their client sizes,
    // each plus a 2-pixel frame and the 9-pixel handle.
    FakeDockBar* toolbar = Add(0, 0, 24, 204 + 13);
    FakeDockBar* logo = Add(0, 358, 24, 76 + 13);
    FakeDockBar* options = Add(1, 2, 28, 432 + 13);
    FakeDockBar* keywords = Add(2, 0, 92, 434 + 13);
    FakeDockBar* proxy = Add(3, 0, 32, 434 + 13);
    Dock.ArrangeToolbars(false);

    EXPECT_EQ(Thickness, 192);
    EXPECT_EQ(Dock.RowSizes(), (std::vector<int>{24, 28, 92, 32}));
    EXPECT_EQ(toolbar->Bounds, TRect::FromSize(0, 0, 217, 28));
    EXPECT_EQ(logo->Bounds, TRect::FromSize(358, 0, 89, 28));
    EXPECT_EQ(options->Bounds, TRect::FromSize(2, 28, 445, 32));
    EXPECT_EQ(keywords->Bounds, TRect::FromSize(0, 60, 447, 96));
    EXPECT_EQ(proxy->Bounds, TRect::FromSize(0, 156, 447, 36));
}

TEST_F(DockLayoutTest, OverlappingBarsArePushedApartAndKeepTheNewPosition) {
    FakeDockBar* first = Add(0, 0, 20, 100);
    FakeDockBar* second = Add(0, 10, 20, 50);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(second->DockPos, 100);
    EXPECT_EQ(second->Bounds.left, 100);
    EXPECT_EQ(first->Bounds.left, 0);
    // Unset positions (-1) start at the row's beginning.
    FakeDockBar* third = Add(1, -1, 20, 50);
    EXPECT_EQ(third->DockPos, 0);
}

TEST_F(DockLayoutTest, RowLongerThanTheDockRunsPastTheFarEnd) {
    Length = 400;
    FakeDockBar* a = Add(0, 0, 20, 300);
    FakeDockBar* b = Add(0, 300, 20, 300);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->Bounds.left, 0);
    EXPECT_EQ(b->Bounds.left, 300);
    EXPECT_EQ(b->Bounds.right, 600);
}

TEST_F(DockLayoutTest, ShrinkingDockPullsBarsInWithoutLosingTheirPreferredPlace) {
    FakeDockBar* a = Add(0, 0, 20, 100);
    FakeDockBar* b = Add(0, 300, 20, 100);
    Length = 350;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(b->Bounds.left, 250);
    EXPECT_EQ(b->DockPos, 300);
    Length = 160;  // both pulled in, never before the start nor overlapping
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->Bounds.left, 0);
    EXPECT_EQ(b->Bounds.left, 100);
    Length = 500;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(b->Bounds.left, 300);

    // With commit the shown position becomes the preferred one.
    Length = 350;
    Dock.ArrangeToolbars(true);
    EXPECT_EQ(b->DockPos, 250);
    Length = 500;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(b->Bounds.left, 250);
}

TEST_F(DockLayoutTest, FullSizeBarTakesARowOfItsOwn) {
    FakeDockBar* other = Add(0, 0, 20, 100);
    FakeDockBar* full = Add(0, 50, 30, 100);
    full->FullSize = true;
    FakeDockBar* below = Add(1, 0, 24, 100);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(full->DockRow, 0);
    EXPECT_EQ(other->DockRow, 1);
    EXPECT_EQ(below->DockRow, 2);
    EXPECT_EQ(full->DockPos, 0);
    EXPECT_EQ(full->Bounds, TRect::FromSize(0, 0, 452, 34));
    EXPECT_EQ(other->Bounds, TRect::FromSize(0, 34, 100, 24));
    EXPECT_EQ(below->Bounds, TRect::FromSize(0, 58, 100, 28));
}

TEST_F(DockLayoutTest, BlankRowsAreClosed) {
    FakeDockBar* a = Add(0, 0, 20, 100);
    FakeDockBar* b = Add(2, 0, 20, 100);
    FakeDockBar* c = Add(5, 0, 20, 100);  // a run of blank rows closes too
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->DockRow, 0);
    EXPECT_EQ(b->DockRow, 1);
    EXPECT_EQ(c->DockRow, 2);
    EXPECT_EQ(Thickness, 72);

    // A row holding only a hidden bar is not blank: it keeps its number and takes no space.
    b->Visible = false;
    Dock.ToolbarVisibilityChanged(b, false);
    EXPECT_EQ(b->DockRow, 1);
    EXPECT_EQ(Dock.RowSizes(), (std::vector<int>{20, 0, 20}));
    EXPECT_EQ(c->Bounds.top, 24);
    EXPECT_EQ(Thickness, 48);
}

TEST_F(DockLayoutTest, RowThicknessIsTheLargestBarPlusFourAndAtLeastTwelve) {
    FakeDockBar* a = Add(0, 0, 24, 100);
    FakeDockBar* b = Add(0, 100, 30, 100);
    FakeDockBar* empty = Add(1, 0, 3, 16);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->Bounds.Height(), 34);
    EXPECT_EQ(b->Bounds.Height(), 34);
    EXPECT_EQ(empty->Bounds.Height(), 12);
    EXPECT_EQ(Thickness, 46);
}

TEST_F(DockLayoutTest, LimitToOneRowPutsEveryBarOnRowZeroInPositionOrder) {
    FakeDockBar* a = Add(0, 10, 20, 50);
    FakeDockBar* b = Add(1, 0, 20, 50);
    FakeDockBar* c = Add(2, 20, 20, 50);
    Dock.LimitToOneRow = true;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->DockRow, 0);
    EXPECT_EQ(b->DockRow, 0);
    EXPECT_EQ(c->DockRow, 0);
    EXPECT_EQ(b->Bounds.left, 0);
    EXPECT_EQ(a->Bounds.left, 50);
    EXPECT_EQ(c->Bounds.left, 100);
    EXPECT_EQ(Thickness, 24);
}

TEST_F(DockLayoutTest, VerticalDockSwapsTheAxes) {
    Dock.Position = dpLeft;
    Length = 300;
    FakeDockBar* a = Add(0, 10, 30, 80);
    FakeDockBar* b = Add(1, 0, 20, 80);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(a->Bounds, TRect::FromSize(0, 10, 34, 80));
    EXPECT_EQ(b->Bounds, TRect::FromSize(34, 0, 24, 80));
    EXPECT_EQ(Thickness, 58);
}

TEST_F(DockLayoutTest, BorderIsAddedToTheThickness) {
    Dock.BorderThickness = 2;
    Add(0, 0, 20, 50);
    EXPECT_EQ(Thickness, 26);
}

TEST_F(DockLayoutTest, UpdatesCollapseIntoOneArrangement) {
    Dock.BeginUpdate();
    Dock.BeginUpdate();
    FakeDockBar* a = Add(0, 0, 20, 50);
    FakeDockBar* b = Add(0, 0, 20, 50);
    Dock.ArrangeToolbars(true);
    EXPECT_EQ(ThicknessCalls, 0);
    Dock.EndUpdate();
    EXPECT_EQ(ThicknessCalls, 0);
    Dock.EndUpdate();
    EXPECT_EQ(ThicknessCalls, 1);
    EXPECT_EQ(a->Placements, 1);
    EXPECT_EQ(b->Placements, 1);
    EXPECT_FALSE(Dock.ArrangePending);
    EXPECT_FALSE(Dock.CommitPositionsFlag);
    // An unmatched EndUpdate does not drive the counter below zero.
    Dock.EndUpdate();
    EXPECT_EQ(Dock.UpdateCount, 0);

    // Loading defers as well.
    Dock.Loading = true;
    a->DockPos = 300;
    Dock.ArrangeToolbars(false);
    EXPECT_TRUE(Dock.ArrangePending);
    EXPECT_EQ(a->Placements, 1);
}

TEST_F(DockLayoutTest, ArrangementRequestedDuringPlacementIsDropped) {
    FakeDockBar* a = Add(0, 0, 20, 50);
    int nested = 0;
    a->OnPlace = [&] {
        ++nested;
        Dock.ArrangeToolbars(false);
    };
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(Dock.UpdateCount, 0);
    EXPECT_FALSE(Dock.ArrangePending);
}

TEST_F(DockLayoutTest, FailingPlacementLeavesTheDockUsable) {
    FakeDockBar* a = Add(0, 0, 20, 50);
    a->OnPlace = [] { throw std::runtime_error("place"); };
    EXPECT_THROW(Dock.ArrangeToolbars(true), std::runtime_error);
    EXPECT_EQ(Dock.UpdateCount, 0);
    EXPECT_FALSE(Dock.CommitPositionsFlag);
    a->OnPlace = nullptr;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Thickness, 24);
}

TEST_F(DockLayoutTest, InsertRemoveEventsOnlyOnChange) {
    std::vector<std::pair<bool, TDockBarItem*>> events;
    Dock.OnInsertRemoveBar = [&](bool inserting, TDockBarItem* bar) {
        events.emplace_back(inserting, bar);
    };
    FakeDockBar* a = Add(0, 0, 20, 50);
    Dock.ToolbarVisibilityChanged(a, false);  // no change
    a->Visible = false;
    Dock.ToolbarVisibilityChanged(a, false);
    a->Visible = true;
    Dock.ToolbarVisibilityChanged(a, true);  // forced out while visible: already out
    Dock.ToolbarVisibilityChanged(a, false);
    Dock.ChangeDockList(false, a);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], std::make_pair(true, static_cast<TDockBarItem*>(a)));
    EXPECT_FALSE(events[1].first);
    EXPECT_TRUE(events[2].first);
    EXPECT_FALSE(events[3].first);
    EXPECT_FALSE(Dock.Contains(a));
    EXPECT_EQ(Dock.GetHighestRow(), -1);
}

TEST_F(DockLayoutTest, RowQueries) {
    Add(0, 0, 24, 50);
    Add(0, 60, 24, 50);
    FakeDockBar* hidden = Add(3, 0, 40, 50);
    hidden->Visible = false;
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Dock.GetHighestRow(), 1);  // row 3 closed to row 1 (hidden bars keep a row)
    EXPECT_EQ(Dock.GetNumberOfToolbarsOnRow(0, nullptr), 2);
    EXPECT_EQ(Dock.GetNumberOfToolbarsOnRow(1, hidden), 0);
    EXPECT_EQ(Dock.GetRowSize(0, nullptr), 24);
    EXPECT_EQ(Dock.GetRowSize(1, nullptr), 0);
    EXPECT_EQ(Dock.GetRowSize(1, hidden), 40);
    EXPECT_EQ(Dock.GetRowSize(7, nullptr), 0);
    Dock.InsertRowBefore(1);
    EXPECT_EQ(hidden->DockRow, 2);
}

TEST_F(DockLayoutTest, RowHitTestOpensNewRowsInTheFirstFivePixelsOfABand) {
    Add(0, 0, 24, 50);  // band 0..27
    Add(1, 0, 28, 50);  // band 28..59
    Dock.ArrangeToolbars(false);
    struct Case {
        int pos, row;
        bool before;
    };
    for (Case c : {Case{-3, 0, true}, Case{0, 0, true}, Case{4, 0, true}, Case{5, 0, false},
                   Case{22, 0, false}, Case{23, 1, true}, Case{32, 1, true}, Case{33, 1, false},
                   Case{54, 1, false}, Case{55, 2, true}, Case{64, 2, true}, Case{65, 2, false},
                   Case{500, 2, false}}) {
        bool before = !c.before;
        EXPECT_EQ(Dock.GetRowOf(c.pos, before), c.row) << "pos " << c.pos;
        EXPECT_EQ(before, c.before) << "pos " << c.pos;
    }
}

TEST_F(DockLayoutTest, RowHitTestSkipsRowsWithoutVisibleBars) {
    Add(0, 0, 24, 50);
    FakeDockBar* hidden = Add(1, 0, 24, 50);
    hidden->Visible = false;
    Add(2, 0, 24, 50);
    Dock.ArrangeToolbars(false);
    bool before = true;
    EXPECT_EQ(Dock.GetRowOf(40, before), 2);  // second band (28..55) is row 2
    EXPECT_FALSE(before);
    EXPECT_EQ(Dock.GetRowOf(29, before), 2);
    EXPECT_TRUE(before);
}

TEST_F(DockLayoutTest, DesignModeRowHitTest) {
    Add(0, 0, 24, 50);
    Add(1, 0, 28, 50);
    Dock.ArrangeToolbars(false);
    EXPECT_EQ(Dock.GetDesignModeRowOf(0), 0);
    EXPECT_EQ(Dock.GetDesignModeRowOf(27), 0);
    EXPECT_EQ(Dock.GetDesignModeRowOf(28), 1);
    EXPECT_EQ(Dock.GetDesignModeRowOf(59), 1);
    EXPECT_EQ(Dock.GetDesignModeRowOf(60), 2);
}

TEST_F(DockLayoutTest, DropOpensRowsAndCommitsThePosition) {
    FakeDockBar* a = Add(0, 0, 24, 100);
    FakeDockBar* b = Add(1, 0, 24, 100);
    FakeDockBar* moving = Add(0, 200, 24, 100);
    // Outline centred 2 pixels into row 1's band: a new row opens before row 1.
    moving->DockRow = 0;
    Dock.DropBar(moving, TRect::FromSize(40, 28 + 2 - 14, 100, 28));
    EXPECT_EQ(a->DockRow, 0);
    EXPECT_EQ(moving->DockRow, 1);
    EXPECT_EQ(b->DockRow, 2);
    EXPECT_EQ(moving->DockPos, 40);
    EXPECT_EQ(moving->Bounds, TRect::FromSize(40, 28, 100, 28));

    // Dropped in the middle of row 0 past the far end: the fitted position is committed.
    Dock.DropBar(moving, TRect::FromSize(400, 0, 100, 28));
    EXPECT_EQ(moving->DockRow, 0);
    EXPECT_EQ(moving->DockPos, 352);
    EXPECT_EQ(b->DockRow, 1);  // the emptied row closed
}

TEST_F(DockLayoutTest, FullSizeBarDroppedOnAnOccupiedRowGetsANewRowAfterIt) {
    FakeDockBar* a = Add(0, 0, 24, 100);
    FakeDockBar* b = Add(1, 0, 24, 100);
    FakeDockBar* full = Add(2, 0, 24, 100);
    full->FullSize = true;
    Dock.DropBar(full, TRect::FromSize(0, 0, 100, 28));  // centre 14: row 0
    EXPECT_EQ(a->DockRow, 0);
    EXPECT_EQ(full->DockRow, 1);
    EXPECT_EQ(b->DockRow, 2);
    EXPECT_EQ(full->Bounds, TRect::FromSize(0, 28, 452, 28));
}

}  // namespace
}  // namespace zb
