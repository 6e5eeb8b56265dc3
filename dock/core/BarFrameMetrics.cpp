#include "dock/core/BarFrameMetrics.h"

namespace zb {

int DockedHandleSize(TDragHandleStyle style, bool closeButtonWhenDocked) {
    if (closeButtonWhenDocked) return 14;
    switch (style) {
        case dhDouble:
            return 9;
        case dhNone:
            return 0;
        case dhSingle:
            return 6;
    }
    return 9;
}

int DockedGripOffset(TDragHandleStyle style, bool closeButtonWhenDocked) {
    switch (style) {
        case dhDouble:
            return closeButtonWhenDocked ? 3 : 2;
        case dhNone:
            return 0;
        case dhSingle:
            return closeButtonWhenDocked ? 5 : 1;
    }
    return 2;
}

TFrameMargins DockedFrameMargins(TDockType dockType, TDragHandleStyle style,
                                 bool closeButtonWhenDocked) {
    const int handle = DockedHandleSize(style, closeButtonWhenDocked);
    if (dockType == dtLeftRight) return {2, 2 + handle, 2, 2};
    return {2 + handle, 2, 2, 2};
}

TSize DockedOuterSize(TSize clientSize, TDockType dockType, TDragHandleStyle style,
                      bool closeButtonWhenDocked) {
    const TFrameMargins m = DockedFrameMargins(dockType, style, closeButtonWhenDocked);
    return {clientSize.cx + m.Horizontal(), clientSize.cy + m.Vertical()};
}

THandleGeometry DockedHandleGeometry(TDockType dockType, TDragHandleStyle style,
                                     bool closeButtonWhenDocked, TSize clientSize) {
    THandleGeometry g;
    const int handle = DockedHandleSize(style, closeButtonWhenDocked);
    const int grip = DockedGripOffset(style, closeButtonWhenDocked);
    const int count = style == dhDouble ? 2 : (style == dhSingle ? 1 : 0);
    const bool vertical = dockType == dtLeftRight;
    if (!vertical) {
        const int end = clientSize.cy + 2;  // T
        const int start = closeButtonWhenDocked ? handle : 2;
        for (int i = 0; i < count; ++i)
            g.Grips.push_back({grip + 2 + 3 * i, start, grip + 2 + 3 * i + 3, end});
        if (closeButtonWhenDocked) g.CloseButton = TRect::FromSize(3, 2, 11, 11);
        g.HandleArea = {2, 2, handle + 2, end};
    } else {
        const int end = clientSize.cx + 2;
        if (closeButtonWhenDocked)
            g.CloseButton = TRect::FromSize(clientSize.cx - 11 + 2, 3, 11, 11);
        const int stop = closeButtonWhenDocked ? g.CloseButton.left : end;
        for (int i = 0; i < count; ++i)
            g.Grips.push_back({2, grip + 2 + 3 * i, stop, grip + 2 + 3 * i + 3});
        g.HandleArea = {2, 2, end, handle + 2};
    }
    return g;
}

}  // namespace zb
