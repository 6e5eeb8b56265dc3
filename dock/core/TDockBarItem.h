#pragma once
// What a dock's row model needs of one bar: its row and preferred position, whether it spans a
// row, whether it shows on the dock, its sizes, and a way to be placed.

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"

namespace zb {

class TDockBarItem {
public:
    virtual ~TDockBarItem() = default;

    int DockRow = 0;        // 0-based row number
    int DockPos = -1;       // preferred pixel offset along the row
    bool FullSize = false;  // spans the whole row, alone in it

    // The bar counts as shown on the dock (its parent is the dock and it is visible).
    virtual bool IsVisibleOnDock() const = 0;
    // Thickness across a row of the given dock type.
    virtual int GetBarSize(TDockType dockType) const = 0;
    // Outer length along a row (width on a top/bottom dock, height on a left/right dock).
    virtual int GetDockedLength(bool vertical) const = 0;
    // Moves the bar to the rectangle (dock client coordinates) chosen by the arrangement.
    virtual void PlaceOnDock(const TRect& bounds) = 0;
};

}  // namespace zb
