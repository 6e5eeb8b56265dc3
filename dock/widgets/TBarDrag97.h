#pragma once
// One drag of a bar: collects the candidate docks and the bar's sizes, follows the mouse and
// the keyboard through an application-wide event filter while holding the mouse, shows the
// outline and the "no" cursor, and on release docks the bar into a row or lets it float.
// Escape or a second left press cancels; Ctrl toggles docking off and on. A floating bar
// stays put until the cursor has moved beyond the double-click reach, so a click never docks it.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "dock/core/TDragState.h"
#include "dock/widgets/TDock97.h"

namespace zb {

class TCustomToolWindow97;
class TDragOutline97;

class TBarDrag97 : public QObject {
    Q_OBJECT
public:
    TBarDrag97(TCustomToolWindow97* bar, QPoint grab, bool ctrl);
    ~TBarDrag97() override;

    void Start(QPoint globalCursor);
    // Ends the drag; with drop the bar goes where the outline shows.
    void Finish(bool drop);
    void BarDestroyed();

    const TDragState& State() const { return FState; }
    const std::vector<QPointer<TDock97>>& CandidateDocks() const { return FDocks; }
    const TDragOutline97* Outline() const { return FOutline.get(); }
    // The dock the bar would land on now, or nullptr for floating.
    TDock97* TargetDock() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CollectDocks();
    void Update(QPoint globalCursor);
    void Drop();

    QPointer<TCustomToolWindow97> FBar;
    TDragState FState;
    std::vector<QPointer<TDock97>> FDocks;
    std::unique_ptr<TDragOutline97> FOutline;
    bool FCursorOverridden = false;
    bool FFinished = false;
};

}  // namespace zb
