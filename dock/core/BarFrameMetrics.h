#pragma once
// Sizes of a docked bar's frame and drag handle, where its grips and docked close button sit,
// and the frame of a floating window.

#include <vector>

#include "dock/core/DockTypes.h"
#include "dock/core/Geometry.h"

namespace zb {

// Pixels along the row taken by the handle area.
int DockedHandleSize(TDragHandleStyle style, bool closeButtonWhenDocked);
// Offset of the first grip inside the handle area.
int DockedGripOffset(TDragHandleStyle style, bool closeButtonWhenDocked);

// Non-client widths of a docked bar on each side: 2 pixels everywhere, plus the handle area at
// the start of the row (left on a top/bottom dock, top on a left/right dock).
struct TFrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Horizontal() const { return left + right; }
    int Vertical() const { return top + bottom; }
    friend bool operator==(const TFrameMargins&, const TFrameMargins&) = default;
};
TFrameMargins DockedFrameMargins(TDockType dockType, TDragHandleStyle style,
                                 bool closeButtonWhenDocked);
TSize DockedOuterSize(TSize clientSize, TDockType dockType, TDragHandleStyle style,
                      bool closeButtonWhenDocked);

// Where the handle's parts are drawn, in window coordinates of a docked bar with the given
// client size.
struct THandleGeometry {
    std::vector<TRect> Grips;
    TRect CloseButton;  // empty without a close button
    TRect HandleArea;   // the part of the handle not taken by grips or the close button
};
THandleGeometry DockedHandleGeometry(TDockType dockType, TDragHandleStyle style,
                                     bool closeButtonWhenDocked, TSize clientSize);

// The floating window: a border on every side and a caption bar above the client area.
struct TFloatingFrame {
    static constexpr int Border = 3;
    static constexpr int Caption = 15;
    static TFrameMargins Margins() { return {Border, Border + Caption, Border, Border}; }
    static TSize OuterSize(TSize client) {
        return {client.cx + 2 * Border, client.cy + 2 * Border + Caption};
    }
};

}  // namespace zb
