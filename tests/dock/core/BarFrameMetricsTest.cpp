// The docked bar frame: handle sizes, grip places, close button, outer sizes.

#include <gtest/gtest.h>

#include "dock/core/BarFrameMetrics.h"

namespace zb {
namespace {

TEST(BarFrameMetricsTest, HandleSizeAndGripOffsetTables) {
    struct Row {
        TDragHandleStyle style;
        bool close;
        int size, grip;
    };
    for (Row r :
         {Row{dhDouble, false, 9, 2}, Row{dhNone, false, 0, 0}, Row{dhSingle, false, 6, 1},
          Row{dhDouble, true, 14, 3}, Row{dhNone, true, 14, 0}, Row{dhSingle, true, 14, 5}}) {
        EXPECT_EQ(DockedHandleSize(r.style, r.close), r.size) << r.style << r.close;
        EXPECT_EQ(DockedGripOffset(r.style, r.close), r.grip) << r.style << r.close;
    }
}

TEST(BarFrameMetricsTest, DefaultDockedToolbarHasTwoGripsAtFourAndSeven) {
    EXPECT_EQ(DockedFrameMargins(dtTopBottom, dhDouble, false), (TFrameMargins{11, 2, 2, 2}));
    EXPECT_EQ(DockedOuterSize({204, 24}, dtTopBottom, dhDouble, false), (TSize{217, 28}));
    const THandleGeometry g = DockedHandleGeometry(dtTopBottom, dhDouble, false, {204, 24});
    ASSERT_EQ(g.Grips.size(), 2u);
    EXPECT_EQ(g.Grips[0], (TRect{4, 2, 7, 26}));
    EXPECT_EQ(g.Grips[1], (TRect{7, 2, 10, 26}));
    EXPECT_TRUE(g.CloseButton.IsEmpty());
    EXPECT_EQ(g.HandleArea, (TRect{2, 2, 11, 26}));
}

TEST(BarFrameMetricsTest, NoHandleLeavesAPlainTwoPixelFrame) {
    EXPECT_EQ(DockedFrameMargins(dtTopBottom, dhNone, false), (TFrameMargins{2, 2, 2, 2}));
    EXPECT_TRUE(DockedHandleGeometry(dtTopBottom, dhNone, false, {50, 20}).Grips.empty());
    const THandleGeometry single = DockedHandleGeometry(dtTopBottom, dhSingle, false, {50, 20});
    ASSERT_EQ(single.Grips.size(), 1u);
    EXPECT_EQ(single.Grips[0].left, 3);
}

TEST(BarFrameMetricsTest, CloseButtonTakesFourteenPixelsAndPushesGripsBelowIt) {
    for (TDragHandleStyle style : {dhDouble, dhNone, dhSingle})
        EXPECT_EQ(DockedFrameMargins(dtTopBottom, style, true).left, 16);
    const THandleGeometry g = DockedHandleGeometry(dtTopBottom, dhDouble, true, {100, 40});
    EXPECT_EQ(g.CloseButton, TRect::FromSize(3, 2, 11, 11));
    ASSERT_EQ(g.Grips.size(), 2u);
    EXPECT_EQ(g.Grips[0], (TRect{5, 14, 8, 42}));
    EXPECT_GE(g.Grips[0].top, g.CloseButton.bottom);
}

TEST(BarFrameMetricsTest, LeftRightDockPutsTheHandleOnTop) {
    EXPECT_EQ(DockedFrameMargins(dtLeftRight, dhDouble, false), (TFrameMargins{2, 11, 2, 2}));
    EXPECT_EQ(DockedOuterSize({24, 100}, dtLeftRight, dhDouble, false), (TSize{28, 113}));
    const THandleGeometry g = DockedHandleGeometry(dtLeftRight, dhDouble, true, {40, 100});
    EXPECT_EQ(g.CloseButton, TRect::FromSize(31, 3, 11, 11));
    ASSERT_EQ(g.Grips.size(), 2u);
    EXPECT_EQ(g.Grips[0], (TRect{2, 5, 31, 8}));
}

TEST(BarFrameMetricsTest, FloatingFrameAddsBordersAndCaption) {
    const TFrameMargins m = TFloatingFrame::Margins();
    const TSize outer = TFloatingFrame::OuterSize({212, 27});
    EXPECT_EQ(outer.cx, 212 + m.Horizontal());
    EXPECT_EQ(outer.cy, 27 + m.Vertical());
    EXPECT_GT(m.top, m.bottom);
}

}  // namespace
}  // namespace zb
