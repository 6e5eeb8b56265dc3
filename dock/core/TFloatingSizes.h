#pragma once
// The sizes a floating toolbar may take: one per distinct layout its controls form when they
// wrap at some width, and the tracking that keeps a resized floating window on those sizes.

#include <functional>
#include <vector>

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"

namespace zb {

// Client sizes of all distinct floating layouts, the one-line layout first. measure(w) gives
// the floating layout's client size for wrap width w (0: one line); minWidth is the narrowest
// wrap width tried.
std::vector<TSize> BuildPotentialSizesList(const std::function<TSize(int)>& measure, int minWidth);

class TFloatingResizeTracker {
public:
    // Starts a resize through the given border. clientSizes comes from BuildPotentialSizesList
    // (one-line layout first); frame is what the floating window adds to a client size;
    // frameLeftRight its left plus right frame; current the window's size now.
    void ResizeBegin(TToolWindowSizeHandle handle, const std::vector<TSize>& clientSizes,
                     TSize frame, int frameLeftRight, TSize current);
    // The window rectangle for a border dragged to `dragged`, the window having been `start`:
    // always one of the candidate sizes, the edge opposite the dragged border kept in place.
    TRect ResizeTrack(const TRect& dragged, const TRect& start);
    // Ends the resize. Returns the wrap width to store, or -1 when nothing is to be stored.
    int ResizeEnd(bool accept);

    bool Active() const { return FActive; }
    const std::vector<TSize>& Candidates() const { return FCandidates; }
    int SnapDistance() const { return FSnap; }
    int CurrentIndex() const { return FCurrent; }
    // Wrap width the current candidate stands for (0 for the one-line layout).
    int WrapWidth() const;

private:
    int Key(TSize s) const { return FByHeight ? s.cy : s.cx; }
    void ComputeSnap();

    bool FActive = false;
    TToolWindowSizeHandle FHandle = twshRight;
    bool FByHeight = false;
    std::vector<TSize> FCandidates;
    int FOneLine = 0;  // index of the one-line layout in FCandidates
    int FCurrent = 0;
    int FSnap = 12;
    int FFrameLeftRight = 0;
};

}  // namespace zb
