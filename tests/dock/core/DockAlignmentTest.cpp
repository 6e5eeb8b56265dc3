// Self-aligned docks along a form's edges, and a dock's bound lines.

#include <gtest/gtest.h>

#include <vector>

#include "dock/core/DockAlignment.h"

namespace zb {
namespace {

TEST(DockAlignmentTest, TopThenBottomThenLeftAndRightBetweenThem) {
    const std::vector<TDockEdge> docks{
        {dpTop, 24}, {dpBottom, 27}, {dpLeft, 44}, {dpRight, 49}, {dpTop, 36}};
    const TDockAlignment a = AlignDockEdges({0, 0, 300, 200}, docks);
    const std::vector<TRect> bounds{{0, 0, 300, 24},
                                    {0, 173, 300, 200},
                                    {0, 60, 44, 173},
                                    {251, 60, 300, 173},
                                    {0, 24, 300, 60}};
    EXPECT_EQ(a.Bounds, bounds);
    EXPECT_EQ(a.Placement, (std::vector<std::size_t>{0, 4, 1, 2, 3}));
    EXPECT_EQ(a.Remaining, (TRect{44, 60, 251, 173}));
}

TEST(DockAlignmentTest, NoDocksLeaveTheWholeFormAndAnEmptyDockTakesNothing) {
    EXPECT_EQ(AlignDockEdges({0, 0, 80, 60}, {}).Remaining, (TRect{0, 0, 80, 60}));
    const TDockAlignment a = AlignDockEdges({0, 0, 80, 60}, {{dpBottom, 0}});
    EXPECT_EQ(a.Bounds[0], (TRect{0, 60, 80, 60}));
    EXPECT_EQ(a.Remaining, (TRect{0, 0, 80, 60}));
}

TEST(DockAlignmentTest, BoundLinesTakeAPixelEach) {
    struct Row {
        TDockBoundLines lines;
        TRect inside;
        int horizontal, vertical;
    };
    const auto top = BoundLineBit(blTop), bottom = BoundLineBit(blBottom);
    const auto left = BoundLineBit(blLeft), right = BoundLineBit(blRight);
    for (Row r :
         {Row{0, {0, 0, 100, 30}, 0, 0}, Row{TDockBoundLines(top | left), {1, 1, 100, 30}, 1, 1},
          Row{TDockBoundLines(top | bottom), {0, 1, 100, 29}, 2, 0},
          Row{TDockBoundLines(top | bottom | left | right), {1, 1, 99, 29}, 2, 2}}) {
        EXPECT_EQ(InsideBoundLines({0, 0, 100, 30}, r.lines), r.inside) << int(r.lines);
        EXPECT_EQ(BoundLinesThickness(r.lines, false), r.horizontal) << int(r.lines);
        EXPECT_EQ(BoundLinesThickness(r.lines, true), r.vertical) << int(r.lines);
    }
}

}  // namespace
}  // namespace zb
