// The toolbar button's parts: main and arrow part, content rectangle, and where the drop-down
// arrow, the glyph and the caption go for each glyph layout.

#include <gtest/gtest.h>

#include "dock/core/ButtonGeometry.h"

namespace zb {
namespace {

TEST(ButtonGeometryTest, SplitButtonGivesItsArrowPartTheArrowWidthAndTwoPixels) {
    EXPECT_EQ(ButtonMainPart({23, 22}, false, 9), (TRect{0, 0, 23, 22}));
    const TRect main = ButtonMainPart({40, 22}, true, 9);
    EXPECT_EQ(main, (TRect{0, 0, 29, 22}));
    EXPECT_EQ(ButtonArrowPart({40, 22}, main), (TRect{29, 0, 40, 22}));
}

TEST(ButtonGeometryTest, ContentRectInsideTheFrameAndShiftedWhilePushed) {
    struct Row {
        bool noBorder, flat, pushed;
        TRect content;
    };
    const TRect main{0, 0, 23, 22};
    for (Row r : {Row{false, true, false, {1, 1, 22, 21}}, Row{false, false, false, {2, 2, 21, 20}},
                  Row{false, true, true, {2, 2, 23, 22}}, Row{true, true, false, {0, 0, 23, 22}},
                  Row{true, false, true, {1, 1, 24, 23}}})
        EXPECT_EQ(ButtonContentRect(main, r.noBorder, r.flat, r.pushed), r.content)
            << r.noBorder << r.flat << r.pushed;
}

TEST(ButtonGeometryTest, GlyphAndCaptionForEachLayoutAndMargin) {
    struct Row {
        TButtonLayout layout;
        int margin;
        TRect content, glyph, caption;
    };
    const TRect wide{1, 1, 59, 23}, tall{1, 1, 59, 41};
    const Row rows[] = {
        {blGlyphLeft, -1, wide, {5, 4, 21, 20}, {25, 1, 55, 23}},
        {blGlyphRight, -1, wide, {39, 4, 55, 20}, {5, 1, 35, 23}},
        {blGlyphTop, -1, tall, {22, 4, 38, 20}, {1, 24, 59, 37}},
        {blGlyphBottom, -1, tall, {22, 21, 38, 37}, {1, 4, 59, 17}},
        {blGlyphLeft, 3, wide, {4, 4, 20, 20}, {24, 1, 54, 23}},
        {blGlyphRight, 3, wide, {40, 4, 56, 20}, {6, 1, 36, 23}},
        {blGlyphTop, 2, tall, {22, 3, 38, 19}, {1, 23, 59, 36}},
        {blGlyphBottom, 2, tall, {22, 23, 38, 39}, {1, 6, 59, 19}},
    };
    for (const Row& r : rows) {
        TButtonContentInput in;
        in.Content = r.content;
        in.Layout = r.layout;
        in.HasGlyph = in.HasCaption = true;
        in.Glyph = {16, 16};
        in.Caption = {30, 13};
        in.Margin = r.margin;
        const TButtonContentRects out = LayOutButtonContent(in);
        EXPECT_EQ(out.Glyph, r.glyph) << r.layout << " margin " << r.margin;
        EXPECT_EQ(out.Caption, r.caption) << r.layout << " margin " << r.margin;
        EXPECT_TRUE(out.Arrow.IsEmpty());
    }
}

TEST(ButtonGeometryTest, LoneGlyphSitsUpToAPixelOffCentreTowardsTheCaptionSide) {
    struct Row {
        TButtonLayout layout;
        int margin;
        TRect content, glyph;
    };
    const TRect odd{1, 1, 22, 22}, even{1, 1, 21, 21};  // 5 or 4 pixels around a 16 x 16 glyph
    const Row rows[] = {
        {blGlyphLeft, -1, odd, {4, 3, 20, 19}},  {blGlyphRight, -1, odd, {3, 3, 19, 19}},
        {blGlyphTop, -1, odd, {3, 4, 19, 20}},   {blGlyphBottom, -1, odd, {3, 3, 19, 19}},
        {blGlyphLeft, -1, even, {3, 3, 19, 19}}, {blGlyphRight, -1, even, {2, 3, 18, 19}},
        {blGlyphTop, -1, even, {3, 3, 19, 19}},  {blGlyphBottom, -1, even, {3, 2, 19, 18}},
        {blGlyphRight, 2, odd, {4, 3, 20, 19}},  {blGlyphBottom, 2, odd, {3, 4, 19, 20}},
    };
    for (const Row& r : rows) {
        TButtonContentInput in;
        in.Content = r.content;
        in.Layout = r.layout;
        in.HasGlyph = true;
        in.Glyph = {16, 16};
        in.Margin = r.margin;
        EXPECT_EQ(LayOutButtonContent(in).Glyph, r.glyph)
            << r.layout << " margin " << r.margin << " width " << r.content.Width();
    }
}

TEST(ButtonGeometryTest, DropDownArrowTakesTheRightEndAndACaptionAloneTheRest) {
    TButtonContentInput in;
    in.Content = {1, 1, 59, 23};
    in.HasCaption = true;
    in.Caption = {30, 13};
    in.DropdownArrow = true;
    in.ArrowWidth = 9;
    const TButtonContentRects out = LayOutButtonContent(in);
    EXPECT_EQ(out.Arrow, (TRect{50, 1, 59, 23}));
    EXPECT_EQ(out.Caption, (TRect{1, 1, 50, 23}));
}

}  // namespace
}  // namespace zb
