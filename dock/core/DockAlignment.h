#pragma once
// Where a form's self-aligned docks go: each takes its thickness off one edge of the rectangle
// that remains, top docks first, then bottom, then left and right between them. And a dock's
// client rectangle inside its bound lines.

#include <cstddef>
#include <vector>

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"

namespace zb {

struct TDockEdge {
    TDockPosition Position = dpTop;
    int Thickness = 0;
};

struct TDockAlignment {
    std::vector<TRect> Bounds;           // per dock, in the order given
    std::vector<std::size_t> Placement;  // dock indices in the order they took their edges
    TRect Remaining;                     // what the docks leave of the form
};

// Docks on the same edge stack inwards in the order given.
TDockAlignment AlignDockEdges(const TRect& form, const std::vector<TDockEdge>& docks);

// The rectangle less one pixel on every side that has a bound line.
TRect InsideBoundLines(const TRect& r, TDockBoundLines lines);
// Pixels the bound lines add across a dock's rows (top and bottom lines on a horizontal dock,
// left and right lines on a vertical one).
int BoundLinesThickness(TDockBoundLines lines, bool vertical);

}  // namespace zb
