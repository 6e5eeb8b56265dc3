#include "dock/core/TDragState.h"

#include <algorithm>
#include <cstdlib>

namespace zb {

void TDragState::Begin(TPoint grab, TSize barWindowSize, bool noDock) {
    Grab = grab;
    StartExtent = {barWindowSize.cx - 1, barWindowSize.cy - 1};
    NoDock = noDock;
    Target = -1;
    Outline = {};
    OutlineDocked = false;
    ShowNoCursor = false;
    Held = false;
}

void TDragState::HoldUntilMoved(TPoint press, int reach) {
    Held = true;
    PressCursor = press;
    ClickReach = reach;
}

TRect TDragState::OutlineAt(TPoint p, TSize size) const {
    const int left = p.x - MulDiv(size.cx - 1, Grab.x, StartExtent.x);
    const int top = p.y - MulDiv(size.cy - 1, Grab.y, StartExtent.y);
    return TRect::FromSize(left, top, size.cx, size.cy);
}

bool TDragState::Hit(std::size_t dock, TPoint p) const {
    const TDragCandidate& d = Docks[dock];
    TRect r = d.ScreenRect;
    const TRect outline = OutlineAt(p, d.BarSize);
    if (r.Width() == 0 || r.Height() == 0) r = d.Vertical ? r.Inflate(1, 0) : r.Inflate(0, 1);
    const int a = MulDiv(32, Grab.x, StartExtent.x);
    if (p.x < r.left + a - 32 || p.x > r.right - 1 + a) return false;
    if (d.Vertical && (p.y < r.top || p.y > r.bottom - 1)) return false;
    const int c = MulDiv(20, Grab.y, StartExtent.y);
    if (p.y < r.top + c - 20 || p.y > r.bottom - 1 + c) return false;
    return outline.Intersects(r);
}

void TDragState::Update(TPoint p) {
    PreviousOutline = Outline;
    PreviousDocked = OutlineDocked;
    LastCursor = p;
    Target = -1;
    if (Held && std::max(std::abs(p.x - PressCursor.x), std::abs(p.y - PressCursor.y)) > ClickReach)
        Held = false;
    if (Held) {
        OutlineDocked = false;
        ShowNoCursor = false;
        Outline = OutlineAt(PressCursor, FloatingSize);
        return;
    }
    if (!NoDock) {
        for (std::size_t i = 0; i < Docks.size(); ++i) {
            if (!Hit(i, p)) continue;
            Target = static_cast<int>(i);
            const bool accept = Docks[i].RequestDock ? Docks[i].RequestDock() : true;
            if (accept) break;
            Target = -1;
        }
    }
    const TRect work = WorkAreaOf ? WorkAreaOf(p) : TRect{};
    if (Target < 0 && WorkAreaOf && !work.IsEmpty()) {
        p.x = std::clamp(p.x, work.left, work.right - 1);
        p.y = std::clamp(p.y, work.top, work.bottom - 1);
    }
    OutlineDocked = Target >= 0;
    Outline = OutlineAt(p, OutlineDocked ? Docks[Target].BarSize : FloatingSize);

    if (!OutlineDocked && WorkAreaOf && !work.IsEmpty()) {
        // Keep part of a floating outline inside the work area, and its top reachable.
        const TRect w = work.Inflate(-(FloatingBorder + 4), -(FloatingBorder + 4));
        if (Outline.bottom <= w.top)
            Outline = Outline.Offset(0, w.top - Outline.bottom);
        else if (Outline.top >= w.bottom)
            Outline = Outline.Offset(0, w.bottom - Outline.top);
        if (Outline.right <= w.left)
            Outline = Outline.Offset(w.left - Outline.right, 0);
        else if (Outline.left >= w.right)
            Outline = Outline.Offset(w.right - Outline.left, 0);
        const int highest = work.top - (FloatingTopFrame + 4);
        if (Outline.top < highest) Outline = Outline.Offset(0, highest - Outline.top);
    }

    ShowNoCursor = !CanFloat && !OutlineDocked;
    if (ShowNoCursor) Outline = {};
}

}  // namespace zb
