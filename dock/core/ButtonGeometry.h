#pragma once
// Where a toolbar button draws its parts: the main part and the arrow part of a split drop-down
// button, the content rectangle inside the frame, and in it the drop-down arrow, the glyph and
// the caption for each of the four glyph layouts. Sizes in, rectangles out.

#include "dock/core/Geometry.h"

namespace zb {

// The side of the caption the glyph is on.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The width a split drop-down button's arrow part adds to the arrow itself.
constexpr int SplitArrowPadding = 2;

// The client area less the arrow part of a split button (arrowWidth + 2 pixels at the right).
TRect ButtonMainPart(TSize client, bool split, int arrowWidth);
// The arrow part of a split button: what the main part leaves of the client area.
TRect ButtonArrowPart(TSize client, const TRect& mainPart);
// The main part inside its frame (one pixel when flat, two when raised, none without a border),
// one pixel down and right while pushed.
TRect ButtonContentRect(const TRect& mainPart, bool noBorder, bool flat, bool pushed);

struct TButtonContentInput {
    TRect Content;  // the content rectangle
    TButtonLayout Layout = blGlyphLeft;
    bool HasGlyph = false;
    TSize Glyph;  // the glyph's size, when it has one
    bool HasCaption = false;
    TSize Caption;    // the measured caption, when it has one
    int Margin = -1;  // from the glyph's edge of the content; -1 centres glyph and caption
    int Spacing = 4;  // between glyph and caption
    bool DropdownArrow = false;  // an arrow at the right end of the content
    int ArrowWidth = 0;
};

struct TButtonContentRects {
    TRect Arrow;    // empty without a drop-down arrow
    TRect Glyph;    // its top-left is where the glyph is drawn
    TRect Caption;  // the caption is aligned in it
};

// Glyph and caption form one block, centred in the content (less the arrow) or set Margin away
// from the edge on the glyph's side. A caption beside the glyph spans the content's height, one
// above or below it the content's width; without a glyph the caption takes the whole content.
TButtonContentRects LayOutButtonContent(const TButtonContentInput& in);

}  // namespace zb
