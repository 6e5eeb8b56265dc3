#include "dock/core/ButtonGeometry.h"

#include <algorithm>

namespace zb {

namespace {

// A part the button does not show counts as -1 by -1 in the block, so a lone glyph sits up to
// one pixel off centre, towards the side the caption would be on.
TSize PartSize(bool shown, TSize size) {
    return shown ? size : TSize{-1, -1};
}

bool IsHorizontal(TButtonLayout layout) {
    return layout == blGlyphLeft || layout == blGlyphRight;
}

struct Block {
    TSize Glyph, Caption;
    int Gap = 0;
    TSize Total;
    TPoint Origin;
};

TSize BlockSize(TButtonLayout layout, TSize glyph, int gap, TSize caption) {
    if (IsHorizontal(layout)) return {glyph.cx + gap + caption.cx, std::max(glyph.cy, caption.cy)};
    return {std::max(glyph.cx, caption.cx), glyph.cy + gap + caption.cy};
}

// Centred in the content; with a margin, pushed against the edge on the glyph's side.
TPoint BlockOrigin(const TRect& content, TButtonLayout layout, int margin, TSize total) {
    TPoint origin{content.left + (content.Width() - total.cx) / 2,
                  content.top + (content.Height() - total.cy) / 2};
    if (margin < 0) return origin;
    switch (layout) {
        case blGlyphLeft:
            origin.x = content.left + margin;
            break;
        case blGlyphRight:
            origin.x = content.right - margin - total.cx;
            break;
        case blGlyphTop:
            origin.y = content.top + margin;
            break;
        case blGlyphBottom:
            origin.y = content.bottom - margin - total.cy;
            break;
    }
    return origin;
}

Block MakeBlock(const TButtonContentInput& in, const TRect& content) {
    Block b;
    b.Glyph = PartSize(in.HasGlyph, in.Glyph);
    b.Caption = PartSize(in.HasCaption, in.Caption);
    b.Gap = in.HasGlyph && in.HasCaption ? in.Spacing : 0;
    b.Total = BlockSize(in.Layout, b.Glyph, b.Gap, b.Caption);
    b.Origin = BlockOrigin(content, in.Layout, in.Margin, b.Total);
    return b;
}

// The glyph centred across the block at the along offset; the caption spans the content across.
void PlaceSideBySide(const Block& b, const TRect& content, bool glyphFirst,
                     TButtonContentRects& out) {
    const int glyphX = glyphFirst ? b.Origin.x : b.Origin.x + b.Caption.cx + b.Gap;
    const int captionX = glyphFirst ? b.Origin.x + b.Glyph.cx + b.Gap : b.Origin.x;
    out.Glyph =
        TRect::FromSize(glyphX, b.Origin.y + (b.Total.cy - b.Glyph.cy) / 2, b.Glyph.cx, b.Glyph.cy);
    out.Caption = TRect::FromSize(captionX, content.top, b.Caption.cx, content.Height());
}

void PlaceStacked(const Block& b, const TRect& content, bool glyphFirst, TButtonContentRects& out) {
    const int glyphY = glyphFirst ? b.Origin.y : b.Origin.y + b.Caption.cy + b.Gap;
    const int captionY = glyphFirst ? b.Origin.y + b.Glyph.cy + b.Gap : b.Origin.y;
    out.Glyph =
        TRect::FromSize(b.Origin.x + (b.Total.cx - b.Glyph.cx) / 2, glyphY, b.Glyph.cx, b.Glyph.cy);
    out.Caption = TRect::FromSize(content.left, captionY, content.Width(), b.Caption.cy);
}

}  // namespace

TRect ButtonMainPart(TSize client, bool split, int arrowWidth) {
    TRect r{0, 0, client.cx, client.cy};
    if (split) r.right -= arrowWidth + SplitArrowPadding;
    return r;
}

TRect ButtonArrowPart(TSize client, const TRect& mainPart) {
    return TRect::FromSize(mainPart.right, 0, client.cx - mainPart.Width(), client.cy);
}

TRect ButtonContentRect(const TRect& mainPart, bool noBorder, bool flat, bool pushed) {
    TRect r = mainPart;
    if (!noBorder) {
        const int inset = flat ? 1 : 2;
        r = r.Inflate(-inset, -inset);
    }
    return pushed ? r.Offset(1, 1) : r;
}

TButtonContentRects LayOutButtonContent(const TButtonContentInput& in) {
    TButtonContentRects out;
    TRect content = in.Content;
    if (in.DropdownArrow) {
        out.Arrow = {content.right - in.ArrowWidth, content.top, content.right, content.bottom};
        content.right = out.Arrow.left;
    }
    const Block block = MakeBlock(in, content);
    if (IsHorizontal(in.Layout))
        PlaceSideBySide(block, content, in.Layout == blGlyphLeft, out);
    else
        PlaceStacked(block, content, in.Layout == blGlyphTop, out);
    if (!in.HasGlyph) out.Caption = content;
    return out;
}

}  // namespace zb
