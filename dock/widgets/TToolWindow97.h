#pragma once
// A tool window: a bar whose client area has a size of its own (32 x 32 at creation) and holds
// controls at fixed places. Floating, its window resizes freely down to a 32 x 32 client.

#include <QSize>

#include "dock/widgets/TCustomToolWindow97.h"

namespace zb {

class TToolWindow97 : public TCustomToolWindow97 {
    Q_OBJECT
public:
    // On a dock (docked there) or on the form (floating).
    explicit TToolWindow97(QWidget* parent);

    static constexpr int MinClientSize = 32;

    // The remembered client size (what the bar asks for on a dock and floating).
    QSize ClientSize() const { return FClientSize; }
    void SetClientSize(int width, int height);
    int ClientWidth() const { return FClientSize.width(); }
    int ClientHeight() const { return FClientSize.height(); }

    int GetBarSize(TDockType dockType) const override;
    QSize ClientSizeFor(TDockType dockType, const TDock97* dock) const override;
    void ResizeBegin(TToolWindowSizeHandle handle) override;
    QRect ResizeTrack(const QRect& dragged, const QRect& start) override;
    void ResizeEnd(bool accept) override;

private:
    QSize FClientSize{MinClientSize, MinClientSize};
    QSize FSizeBeforeResize;
    TToolWindowSizeHandle FHandle = twshRight;
};

}  // namespace zb
