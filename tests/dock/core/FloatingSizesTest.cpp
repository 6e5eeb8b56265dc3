// Floating toolbar sizes: the candidate list and the resize tracking over it.

#include <gtest/gtest.h>

#include <vector>

#include "dock/core/TFloatingSizes.h"
#include "dock/core/TToolbarLayout.h"

namespace zb {
namespace {

std::vector<TSize> SizesOf(const std::vector<TToolbarLayoutItem>& items) {
    auto measure = [&](int wrap) {
        return TToolbarLayout::OrderControls(items, false, dtNotDocked, wrap, 0).ClientSize;
    };
    return BuildPotentialSizesList(measure, TToolbarLayout::GetBarSize(items, dtTopBottom) + 8);
}

std::vector<TToolbarLayoutItem> Buttons(int count, int w = 23, int h = 22) {
    TToolbarLayoutItem b;
    b.Width = w;
    b.Height = h;
    return std::vector<TToolbarLayoutItem>(count, b);
}

TEST(FloatingSizesTest, TwoButtonsOfferOneLineAndTwoLines) {
    EXPECT_EQ(SizesOf(Buttons(2)), (std::vector<TSize>{{4 + 46 + 4, 25}, {4 + 23 + 4, 47}}));
}

TEST(FloatingSizesTest, EachDistinctHeightAppearsOnceAtItsNarrowestWidth) {
    // Five buttons: 1, 2, 3 and 5 lines (4 lines would be as wide as 3).
    const auto sizes = SizesOf(Buttons(5, 20, 20));
    EXPECT_EQ(sizes, (std::vector<TSize>{{108, 23}, {68, 43}, {48, 63}, {28, 103}}));
}

TEST(FloatingSizesTest, SingleControlOffersOneSize) {
    EXPECT_EQ(SizesOf(Buttons(1)), (std::vector<TSize>{{31, 25}}));
    EXPECT_EQ(SizesOf({}), (std::vector<TSize>{{16, 11}}));
}

class ResizeTrackerTest : public ::testing::Test {
protected:
    // Frame 6 wide, 21 high; client sizes of five 20 x 20 buttons.
    void Begin(TToolWindowSizeHandle handle, TSize current) {
        Tracker.ResizeBegin(handle, SizesOf(Buttons(5, 20, 20)), {6, 21}, 6, current);
    }
    TFloatingResizeTracker Tracker;
};

TEST_F(ResizeTrackerTest, SortsWidestFirstForSideBordersAndTallestFirstForTopAndBottom) {
    Begin(twshRight, {114, 44});
    EXPECT_EQ(Tracker.Candidates().front(), (TSize{114, 44}));
    EXPECT_EQ(Tracker.Candidates().back(), (TSize{34, 124}));
    EXPECT_EQ(Tracker.CurrentIndex(), 0);
    Tracker.ResizeEnd(false);
    EXPECT_FALSE(Tracker.Active());
    Begin(twshBottom, {114, 44});
    EXPECT_EQ(Tracker.Candidates().front(), (TSize{34, 124}));
    EXPECT_EQ(Tracker.CurrentIndex(), 3);
}

TEST_F(ResizeTrackerTest, SnapDistanceShrinksToTheGapToTheNeighbours) {
    Begin(twshRight, {114, 44});
    EXPECT_EQ(Tracker.SnapDistance(), 12);  // next width is 40 narrower
    std::vector<TSize> close = {{60, 20}, {55, 40}, {30, 60}};
    Tracker.ResizeBegin(twshRight, close, {0, 0}, 0, {55, 40});
    EXPECT_EQ(Tracker.SnapDistance(), 4);
    std::vector<TSize> touching = {{60, 20}, {60, 40}};
    Tracker.ResizeBegin(twshBottom, touching, {0, 0}, 0, {60, 20});
    EXPECT_EQ(Tracker.SnapDistance(), 12);
    std::vector<TSize> adjacent = {{61, 20}, {60, 40}};
    Tracker.ResizeBegin(twshRight, adjacent, {0, 0}, 0, {60, 40});
    EXPECT_EQ(Tracker.SnapDistance(), 0);
}

TEST_F(ResizeTrackerTest, TrackingShowsOnlyCandidatesAndKeepsTheOppositeEdge) {
    const TRect start = TRect::FromSize(200, 100, 114, 44);
    Begin(twshRight, {114, 44});
    // Within the snap distance the size stays.
    EXPECT_EQ(Tracker.ResizeTrack(TRect::FromSize(200, 100, 104, 44), start), start);
    // Further in: the nearest candidate, left and top kept.
    EXPECT_EQ(Tracker.ResizeTrack(TRect::FromSize(200, 100, 80, 44), start),
              TRect::FromSize(200, 100, 74, 64));
    EXPECT_EQ(Tracker.WrapWidth(), 68);
    // Each step moves monotonically with the cursor.
    int lastWidth = 74;
    for (int w = 80; w >= 10; w -= 5) {
        const TRect r = Tracker.ResizeTrack(TRect::FromSize(200, 100, w, 44), start);
        EXPECT_LE(r.Width(), lastWidth);
        lastWidth = r.Width();
    }
    EXPECT_EQ(lastWidth, 34);
    EXPECT_EQ(Tracker.ResizeEnd(true), 28);
}

TEST_F(ResizeTrackerTest, WidestCandidateStoresWrapWidthZero) {
    const TRect start = TRect::FromSize(200, 100, 34, 124);
    Begin(twshLeft, {34, 124});
    const TRect r = Tracker.ResizeTrack(TRect{0, 100, 234, 224}, start);
    EXPECT_EQ(r, (TRect{234 - 114, 100, 234, 144}));  // right edge kept
    EXPECT_EQ(Tracker.ResizeEnd(true), 0);
}

TEST_F(ResizeTrackerTest, TopBorderChoosesByHeightAndKeepsTheBottom) {
    const TRect start = TRect::FromSize(200, 100, 114, 44);
    Begin(twshTop, {114, 44});
    const TRect r = Tracker.ResizeTrack(TRect{200, 54, 314, 144}, start);
    EXPECT_EQ(r, (TRect{200, 144 - 84, 254, 144}));
    EXPECT_EQ(Tracker.WrapWidth(), 48);
    EXPECT_EQ(Tracker.ResizeEnd(false), -1);
}

}  // namespace
}  // namespace zb
