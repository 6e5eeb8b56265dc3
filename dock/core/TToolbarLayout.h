#pragma once
// The control layout of a toolbar: groups cut by separators, one line along a dock's row, or
// wrapped lines when the toolbar floats with a wrap width, controls centred across their line,
// the lines drawn between wrapped groups, and the client size the layout needs.

#include <vector>

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"

namespace zb {

// A control that a slave pair ties to one orientation is shown only in that orientation.
enum class TShowIn { Both, HorizontalOnly, VerticalOnly };

// One child control of the toolbar as the layout sees it, in order-list order.
struct TToolbarLayoutItem {
    bool IsSeparator = false;
    bool Blank = false;  // separator: empty space instead of a drawn line
    int SizeHorz = 6;    // separator: length along a horizontal line
    int SizeVert = 6;    // separator: length along a vertical line
    int Width = 0;
    int Height = 0;
    bool Visible = true;
    TShowIn ShowIn = TShowIn::Both;
};

// A wrapped line introduced by a separator: the across position of the new line.
struct TLineSeparatorInfo {
    int Across = 0;
    bool Blank = false;
    friend bool operator==(const TLineSeparatorInfo&, const TLineSeparatorInfo&) = default;
};

struct TToolbarLayoutResult {
    TSize ClientSize;
    // Per item: where it goes (when moving), and whether it is laid out and shown at all.
    std::vector<TRect> Bounds;
    std::vector<bool> Placed;
    std::vector<bool> Shown;
    std::vector<TLineSeparatorInfo> LineSeparators;
};

// Margins between the client edge and the controls.
struct TToolbarMargins {
    int AcrossStart, AcrossEnd, AlongStart, AlongEnd;
};
TToolbarMargins ToolbarMargins(bool floating);

class TToolbarLayout {
public:
    // Whether the item is shown in the orientation (slave pairs), and for the move-layout also
    // whether it is visible.
    static bool ShownIn(const TToolbarLayoutItem& item, bool vertical);
    // Largest height (horizontal) or width (vertical) of the non-separator controls shown in
    // that orientation, at least 8.
    static int GetBarSize(const std::vector<TToolbarLayoutItem>& items, TDockType dockType);

    // Lays the items out. dockType dtNotDocked means floating (horizontal, wrapping at
    // floatRightX when it is not 0). rowSize is the thickness of the toolbar's row on the dock
    // it is laid out for, or 0 to centre on the bar size. With canMoveControls false only the
    // size is of interest (but the bounds are filled all the same).
    static TToolbarLayoutResult OrderControls(const std::vector<TToolbarLayoutItem>& items,
                                              bool canMoveControls, TDockType dockType,
                                              int floatRightX, int rowSize);
};

}  // namespace zb
