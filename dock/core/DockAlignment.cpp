#include "dock/core/DockAlignment.h"

namespace zb {

namespace {

// Cuts a strip of the thickness off the edge of the remaining rectangle.
TRect TakeEdge(TRect& remaining, TDockPosition position, int thickness) {
    const TRect r = remaining;
    switch (position) {
        case dpTop:
            remaining.top += thickness;
            return TRect::FromSize(r.left, r.top, r.Width(), thickness);
        case dpBottom:
            remaining.bottom -= thickness;
            return TRect::FromSize(r.left, r.bottom - thickness, r.Width(), thickness);
        case dpLeft:
            remaining.left += thickness;
            return TRect::FromSize(r.left, r.top, thickness, r.Height());
        case dpRight:
            remaining.right -= thickness;
            return TRect::FromSize(r.right - thickness, r.top, thickness, r.Height());
    }
    return {};
}

bool Has(TDockBoundLines lines, TDockBoundLinesValues line) {
    return (lines & BoundLineBit(line)) != 0;
}

}  // namespace

TDockAlignment AlignDockEdges(const TRect& form, const std::vector<TDockEdge>& docks) {
    TDockAlignment result{std::vector<TRect>(docks.size()), {}, form};
    for (TDockPosition position : {dpTop, dpBottom, dpLeft, dpRight})
        for (std::size_t i = 0; i < docks.size(); ++i)
            if (docks[i].Position == position) {
                result.Bounds[i] = TakeEdge(result.Remaining, position, docks[i].Thickness);
                result.Placement.push_back(i);
            }
    return result;
}

TRect InsideBoundLines(const TRect& r, TDockBoundLines lines) {
    return {r.left + (Has(lines, blLeft) ? 1 : 0), r.top + (Has(lines, blTop) ? 1 : 0),
            r.right - (Has(lines, blRight) ? 1 : 0), r.bottom - (Has(lines, blBottom) ? 1 : 0)};
}

int BoundLinesThickness(TDockBoundLines lines, bool vertical) {
    if (vertical) return (Has(lines, blLeft) ? 1 : 0) + (Has(lines, blRight) ? 1 : 0);
    return (Has(lines, blTop) ? 1 : 0) + (Has(lines, blBottom) ? 1 : 0);
}

}  // namespace zb
