// A toolbar's control layout: docked lines, floating wrapped lines, separators and centring.

#include <gtest/gtest.h>

#include <vector>

#include "dock/core/TOrderList.h"
#include "dock/core/TToolbarLayout.h"

namespace zb {
namespace {

TToolbarLayoutItem Button(int w, int h) {
    TToolbarLayoutItem item;
    item.Width = w;
    item.Height = h;
    return item;
}

TToolbarLayoutItem Separator(bool blank = false) {
    TToolbarLayoutItem item;
    item.IsSeparator = true;
    item.Blank = blank;
    return item;
}

const std::vector<TToolbarLayoutItem> kMainButtons = {Button(108, 24), Button(96, 24)};

TEST(ToolbarLayoutTest, DockedLineOfTheMainWindowButtons) {
    const auto r = TToolbarLayout::OrderControls(kMainButtons, true, dtTopBottom, 0, 24);
    EXPECT_EQ(r.Bounds[0], TRect::FromSize(0, 0, 108, 24));
    EXPECT_EQ(r.Bounds[1], TRect::FromSize(108, 0, 96, 24));
    EXPECT_EQ(r.ClientSize, (TSize{204, 24}));
}

TEST(ToolbarLayoutTest, FloatingLineHasMargins) {
    const auto r = TToolbarLayout::OrderControls(kMainButtons, true, dtNotDocked, 0, 0);
    EXPECT_EQ(r.Bounds[0].TopLeft(), (TPoint{4, 2}));
    EXPECT_EQ(r.Bounds[1].TopLeft(), (TPoint{112, 2}));
    EXPECT_EQ(r.ClientSize, (TSize{212, 27}));
}

TEST(ToolbarLayoutTest, NoVisibleControls) {
    std::vector<TToolbarLayoutItem> items = {Button(50, 30)};
    items[0].Visible = false;
    EXPECT_EQ(TToolbarLayout::OrderControls(items, true, dtTopBottom, 0, 0).ClientSize,
              (TSize{8, 8}));
    EXPECT_EQ(TToolbarLayout::OrderControls(items, true, dtNotDocked, 0, 0).ClientSize,
              (TSize{16, 11}));
    EXPECT_EQ(TToolbarLayout::OrderControls({}, true, dtLeftRight, 0, 0).ClientSize, (TSize{8, 8}));
    EXPECT_EQ(TToolbarLayout::GetBarSize(items, dtTopBottom), 8);
}

TEST(ToolbarLayoutTest, BarSizeIgnoresSeparatorsAndFollowsOrientation) {
    std::vector<TToolbarLayoutItem> items = {Button(30, 20), Separator(), Button(25, 26)};
    items[1].SizeHorz = 40;
    items[1].SizeVert = 40;
    EXPECT_EQ(TToolbarLayout::GetBarSize(items, dtTopBottom), 26);
    EXPECT_EQ(TToolbarLayout::GetBarSize(items, dtLeftRight), 30);
}

TEST(ToolbarLayoutTest, ControlsAreCentredAcrossTheRowWithTheExtraPixelBelowOrRight) {
    const std::vector<TToolbarLayoutItem> items = {Button(20, 20), Button(20, 25)};
    // Row thickness 25 (the tall button): the short one is centred, extra pixel below.
    auto r = TToolbarLayout::OrderControls(items, true, dtTopBottom, 0, 25);
    EXPECT_EQ(r.Bounds[0].top, 2);
    EXPECT_EQ(r.Bounds[1].top, 0);
    // A row thicker than the bar (another bar on the row is taller).
    r = TToolbarLayout::OrderControls(items, true, dtTopBottom, 0, 31);
    EXPECT_EQ(r.Bounds[0].top, 5);
    EXPECT_EQ(r.Bounds[1].top, 3);
    EXPECT_EQ(r.ClientSize, (TSize{40, 25}));  // the need does not grow with the row

    const std::vector<TToolbarLayoutItem> vertical = {Button(20, 20), Button(25, 20)};
    r = TToolbarLayout::OrderControls(vertical, true, dtLeftRight, 0, 0);
    EXPECT_EQ(r.Bounds[0], TRect::FromSize(2, 0, 20, 20));
    EXPECT_EQ(r.Bounds[1], TRect::FromSize(0, 20, 25, 20));
    EXPECT_EQ(r.ClientSize, (TSize{25, 40}));
}

TEST(ToolbarLayoutTest, SeparatorsSpanTheRowAndUseTheirOrientationsLength) {
    std::vector<TToolbarLayoutItem> items = {Button(23, 22), Separator(), Button(23, 22)};
    items[1].SizeHorz = 8;
    items[1].SizeVert = 5;
    auto r = TToolbarLayout::OrderControls(items, true, dtTopBottom, 0, 30);
    EXPECT_EQ(r.Bounds[1], TRect::FromSize(23, 0, 8, 30));
    EXPECT_EQ(r.Bounds[2].left, 31);
    EXPECT_EQ(r.ClientSize, (TSize{54, 22}));
    r = TToolbarLayout::OrderControls(items, true, dtLeftRight, 0, 0);
    EXPECT_EQ(r.Bounds[1], TRect::FromSize(0, 22, 23, 5));
    EXPECT_EQ(r.Bounds[2].top, 27);
}

TEST(ToolbarLayoutTest, DockedToolbarsNeverWrap) {
    const auto r = TToolbarLayout::OrderControls(kMainButtons, true, dtTopBottom, 50, 0);
    EXPECT_EQ(r.Bounds[1].top, 0);
    EXPECT_EQ(r.ClientSize, (TSize{204, 24}));
}

TEST(ToolbarLayoutTest, WrappingInsideAGroupStartsTheNextLineWithoutGap) {
    const std::vector<TToolbarLayoutItem> items = {Button(23, 22), Button(23, 22)};
    const auto r = TToolbarLayout::OrderControls(items, true, dtNotDocked, 53, 0);
    EXPECT_EQ(r.Bounds[0].TopLeft(), (TPoint{4, 2}));
    EXPECT_EQ(r.Bounds[1].TopLeft(), (TPoint{4, 24}));
    EXPECT_EQ(r.ClientSize, (TSize{31, 47}));
    EXPECT_TRUE(r.LineSeparators.empty());
}

TEST(ToolbarLayoutTest, NarrowWrapWidthIsRaisedToTheWidestControlPlusMargins) {
    const std::vector<TToolbarLayoutItem> items = {Button(23, 22), Button(40, 22)};
    const auto narrow = TToolbarLayout::OrderControls(items, true, dtNotDocked, 5, 0);
    const auto exact = TToolbarLayout::OrderControls(items, true, dtNotDocked, 48, 0);
    EXPECT_EQ(narrow.Bounds, exact.Bounds);
    EXPECT_EQ(narrow.ClientSize, (TSize{48, 47}));
}

TEST(ToolbarLayoutTest, SeparatorEndingAWrappedGroupDrawsALineAboveTheNewLine) {
    for (bool blank : {false, true}) {
        const std::vector<TToolbarLayoutItem> items = {Button(23, 22), Separator(blank),
                                                       Button(23, 22)};
        const auto r = TToolbarLayout::OrderControls(items, true, dtNotDocked, 40, 0);
        EXPECT_EQ(r.Bounds[0].TopLeft(), (TPoint{4, 2}));
        EXPECT_EQ(r.Bounds[1].Width(), 0);  // the wrapped-away separator takes no room
        EXPECT_EQ(r.Bounds[2].TopLeft(), (TPoint{4, 30}));  // B + 6 below the first line
        ASSERT_EQ(r.LineSeparators.size(), 1u);
        EXPECT_EQ(r.LineSeparators[0], (TLineSeparatorInfo{30, blank}));
        // The separator's length does not count towards the width.
        EXPECT_EQ(r.ClientSize, (TSize{31, 53}));
    }
    // Measuring only reports no line separators.
    const std::vector<TToolbarLayoutItem> items = {Button(23, 22), Separator(), Button(23, 22)};
    EXPECT_TRUE(
        TToolbarLayout::OrderControls(items, false, dtNotDocked, 40, 0).LineSeparators.empty());
}

TEST(ToolbarLayoutTest, GroupsWrapWholeWhenTheyFitOnANewLine) {
    // Two groups of two: a width that holds one group puts each on its own line.
    const std::vector<TToolbarLayoutItem> items = {Button(20, 20), Button(20, 20), Separator(),
                                                   Button(20, 20), Button(20, 20)};
    const auto r = TToolbarLayout::OrderControls(items, true, dtNotDocked, 60, 0);
    EXPECT_EQ(r.Bounds[3].TopLeft(), (TPoint{4, 28}));
    EXPECT_EQ(r.Bounds[4].TopLeft(), (TPoint{24, 28}));
    EXPECT_EQ(r.ClientSize, (TSize{48, 49}));
}

TEST(ToolbarLayoutTest, SlavePairsShowOneMemberPerOrientation) {
    std::vector<TToolbarLayoutItem> items = {Button(60, 22), Button(22, 60)};
    items[0].ShowIn = TShowIn::HorizontalOnly;
    items[1].ShowIn = TShowIn::VerticalOnly;
    items[1].Visible = false;  // hidden now, but it would be shown vertically
    auto r = TToolbarLayout::OrderControls(items, false, dtTopBottom, 0, 0);
    EXPECT_EQ(r.ClientSize, (TSize{60, 22}));
    EXPECT_EQ(r.Shown, (std::vector<bool>{true, false}));
    r = TToolbarLayout::OrderControls(items, false, dtLeftRight, 0, 0);
    EXPECT_EQ(r.ClientSize, (TSize{22, 60}));
    EXPECT_EQ(r.Shown, (std::vector<bool>{false, true}));
}

TEST(OrderListTest, MovesClampAndRejectStrangers) {
    TOrderList<int> order;
    for (int i : {1, 2, 3, 4})
        order.Append(i);
    order.Append(2);  // appended once only
    EXPECT_EQ(order.Count(), 4);
    EXPECT_TRUE(order.Move(3, -5));
    EXPECT_EQ(order.Items(), (std::vector<int>{3, 1, 2, 4}));
    EXPECT_TRUE(order.Move(3, 99));
    EXPECT_EQ(order.Items(), (std::vector<int>{1, 2, 4, 3}));
    EXPECT_FALSE(order.Move(4, 2));
    EXPECT_FALSE(order.Move(9, 0));
    EXPECT_EQ(order.IndexOf(9), -1);
    order.Remove(1);
    EXPECT_EQ(order.IndexOf(3), 2);
    order.SortBy([](const int& v) { return -v; });
    EXPECT_EQ(order.Items(), (std::vector<int>{4, 3, 2}));
}

}  // namespace
}  // namespace zb
