#include "dock/widgets/TToolWindow97.h"

#include <algorithm>

#include "dock/core/BarFrameMetrics.h"

namespace zb {

TToolWindow97::TToolWindow97(QWidget* parent) : TCustomToolWindow97(parent) {
    InitialPlacement();
}

void TToolWindow97::SetClientSize(int width, int height) {
    const QSize size(std::max(width, 0), std::max(height, 0));
    if (size == FClientSize) return;
    FClientSize = size;
    SizeChanged();
}

int TToolWindow97::GetBarSize(TDockType dockType) const {
    return dockType == dtLeftRight ? FClientSize.width() : FClientSize.height();
}

QSize TToolWindow97::ClientSizeFor(TDockType, const TDock97*) const {
    return FClientSize;
}

void TToolWindow97::ResizeBegin(TToolWindowSizeHandle handle) {
    FSizeBeforeResize = FClientSize;
    FHandle = handle;
}

QRect TToolWindow97::ResizeTrack(const QRect& dragged, const QRect& start) {
    const TFrameMargins m = TFloatingFrame::Margins();
    const int w = std::max(dragged.width(), MinClientSize + m.Horizontal());
    const int h = std::max(dragged.height(), MinClientSize + m.Vertical());
    QRect r = dragged;
    // Keep the edge opposite the dragged border where it was.
    const bool keepRight =
        FHandle == twshLeft || FHandle == twshTopLeft || FHandle == twshBottomLeft;
    const bool keepBottom = FHandle == twshTop || FHandle == twshTopLeft || FHandle == twshTopRight;
    r.setSize(QSize(w, h));
    if (keepRight) r.moveRight(start.right());
    if (keepBottom) r.moveBottom(start.bottom());
    if (!keepRight) r.moveLeft(start.left());
    if (!keepBottom) r.moveTop(start.top());
    FClientSize = QSize(w - m.Horizontal(), h - m.Vertical());
    return r;
}

void TToolWindow97::ResizeEnd(bool accept) {
    if (!accept) FClientSize = FSizeBeforeResize;
    SizeChanged();
}

}  // namespace zb
