#pragma once
// A toolbar: a bar whose controls (buttons, edit boxes, separators) are laid out in a line
// along its dock's row, or, floating, in as many lines as its floating width allows. The
// layout rules live in TToolbarLayout; a floating toolbar resizes only to the sizes of its
// wrapped layouts.

#include <QList>
#include <QPointer>
#include <utility>
#include <vector>

#include "dock/core/TFloatingSizes.h"
#include "dock/core/TOrderList.h"
#include "dock/core/TToolbarLayout.h"
#include "dock/widgets/TCustomToolWindow97.h"

namespace zb {

class TCustomToolbar97 : public TCustomToolWindow97 {
    Q_OBJECT
public:
    explicit TCustomToolbar97(QWidget* parent);
    ~TCustomToolbar97() override;

    // The width at which the floating toolbar wraps; 0 is one line.
    int FloatRightX() const { return FFloatRightX; }
    void SetFloatingWidth(int width);
    // The first control shows in horizontal layouts, the second in vertical ones.
    void SetSlaveControl(QWidget* horizontal, QWidget* vertical);
    // The control's place in the layout order; EInvalidOperation for a control that is not on
    // the toolbar.
    int GetOrderIndex(QWidget* control) const;
    void SetOrderIndex(QWidget* control, int index);
    // Orders the controls once by their current positions (left edges, or top edges on a
    // left/right dock), as for a toolbar built from stored positions.
    void SortOrderByPosition();
    QList<QWidget*> OrderList() const;

    // Client sizes of all distinct floating layouts, the one-line layout first.
    std::vector<TSize> BuildPotentialSizesList() const;
    // Lays the controls out for the dock (nullptr: floating) and returns the client size the
    // layout needs; with canMoveControls false only measures.
    QSize OrderControls(bool canMoveControls, TDockType dockType, const TDock97* dock);
    const std::vector<TLineSeparatorInfo>& LineSeparators() const { return FLineSeparators; }
    // Lays the controls out now and resizes the bar to them.
    void ArrangeControlsNow();

    int GetBarSize(TDockType dockType) const override;
    QSize ClientSizeFor(TDockType dockType, const TDock97* dock) const override;
    void ResizeBegin(TToolWindowSizeHandle handle) override;
    QRect ResizeTrack(const QRect& dragged, const QRect& start) override;
    void ResizeEnd(bool accept) override;
    const TFloatingResizeTracker& ResizeTracker() const { return FTracker; }

protected:
    void ArrangeControls() override;
    void ControlAdded(QWidget* control) override;
    void ControlRemoved(QObject* control) override;
    void PaintClient(QPainter& p) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TToolbarLayoutItem> Items() const;
    TToolbarLayoutResult Layout(bool canMove, TDockType dockType, const TDock97* dock,
                                int floatRightX) const;
    TDockType CurrentDockType() const;
    void ScheduleArrange();

    TOrderList<QWidget*> FOrder;
    std::vector<std::pair<QPointer<QWidget>, QPointer<QWidget>>> FSlaves;
    int FFloatRightX = 0;
    int FFloatRightXBeforeResize = 0;
    std::vector<TLineSeparatorInfo> FLineSeparators;
    TFloatingResizeTracker FTracker;
    bool FArrangeScheduled = false;
    int FMoving = 0;
};

}  // namespace zb
