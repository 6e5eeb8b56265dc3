#pragma once
// The state of one bar drag and its rules: which candidate dock the cursor hits (with the grab
// tolerances), where the outline goes docked or floating, when the "no" cursor shows, and what
// a drop means. Screen coordinates throughout.

#include <functional>
#include <optional>
#include <vector>

#include "dock/core/Geometry.h"

namespace zb {

// One dock the bar may land on, as the drag sees it.
struct TDragCandidate {
    TRect ScreenRect;                   // the dock's window rectangle
    bool Vertical = false;              // a left/right dock
    TSize BarSize;                      // the bar's outer size in that dock's shape
    std::function<bool()> RequestDock;  // asks the dock; true accepts (unset: accept)
};

class TDragState {
public:
    // Grab point relative to the bar's window rectangle, and that rectangle's size.
    void Begin(TPoint grab, TSize barWindowSize, bool noDock);

    TPoint Grab;
    TPoint StartExtent;  // window width - 1, height - 1
    std::vector<TDragCandidate> Docks;
    TSize FloatingSize;  // outer size of the floating window
    bool CanFloat = true;
    bool NoDock = false;
    int FloatingBorder = 3;    // outline thickness when floating; also the work-area inset
    int FloatingTopFrame = 3;  // height of the floating window's frame above its caption
    // Work area of the monitor containing a point.
    std::function<TRect(TPoint)> WorkAreaOf;

    int Target = -1;  // index into Docks, or -1 for floating
    TRect Outline;    // empty when nothing would happen on a drop
    bool OutlineDocked = false;
    bool ShowNoCursor = false;
    TRect PreviousOutline;
    bool PreviousDocked = false;

    // Outline of the given outer size for cursor p, keeping the grab point's proportion.
    TRect OutlineAt(TPoint p, TSize size) const;
    bool Hit(std::size_t dock, TPoint p) const;
    // Recomputes target, outline and cursor for cursor p.
    void Update(TPoint p);

    // Makes the drag a click until the cursor first lies more than `reach` pixels from `press`
    // on either axis: until then the outline stays on the floating window and Held is true.
    void HoldUntilMoved(TPoint press, int reach);
    bool Held = false;  // a drop now leaves the bar where it is
    TPoint PressCursor;
    int ClickReach = 0;

    TPoint LastCursor;
};

}  // namespace zb
