#include "dock/widgets/TBarClientArea97.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

#include "dock/widgets/TCustomToolWindow97.h"
#include "dock/widgets/TDock97.h"

namespace zb {

TBarClientArea97::TBarClientArea97(TCustomToolWindow97* bar) : QWidget(bar), FBar(bar) {}

void TBarClientArea97::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    QObject* child = event->child();
    if (event->added() && child->isWidgetType()) FBar->ControlAdded(static_cast<QWidget*>(child));
    // A child being destroyed no longer reports itself as a widget; only its address counts.
    if (event->removed()) FBar->ControlRemoved(child);
}

void TBarClientArea97::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TDock97* dock = FBar->DockedTo();
    if (dock && dock->BackgroundOnToolbars() && !dock->Background().isNull()) {
        // The dock's background shows through, aligned with the dock's own tiling.
        const QPoint origin = mapTo(dock, QPoint(0, 0));
        p.drawTiledPixmap(rect(), dock->Background(), origin);
    } else {
        p.fillRect(rect(), FBar->Color());
    }
    FBar->PaintClient(p);
}

bool TBarClientArea97::OnChildControl(QPoint pos) const {
    const QWidget* child = childAt(pos);
    return child && child->isVisible() && !child->testAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBarClientArea97::mousePressEvent(QMouseEvent* event) {
    // A press on a shown child control belongs to it, also when the control ignores it.
    if (OnChildControl(event->position().toPoint())) return;
    FBar->HandlePress(event, mapTo(FBar, event->position().toPoint()));
}

void TBarClientArea97::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || OnChildControl(event->position().toPoint())) return;
    if (FBar->DockedTo() && !FBar->DockedTo()->AllowDrag()) return;
    FBar->DoubleClickAction();
}

}  // namespace zb
