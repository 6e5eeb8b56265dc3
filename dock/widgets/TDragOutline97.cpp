#include "dock/widgets/TDragOutline97.h"

#include <QPainter>
#include <QRegion>

namespace zb {

TDragOutline97::TDragOutline97()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TDragOutline97::ShowFrame(const QRect& rect, int thickness) {
    if (rect.isEmpty()) {
        FRect = QRect();
        hide();
        return;
    }
    if (rect == FRect && thickness == FThickness && isVisible()) return;
    FRect = rect;
    FThickness = thickness;
    setGeometry(rect);
    // Only the ring is part of the window, so what lies inside stays visible and clickable.
    const QRect local(QPoint(0, 0), rect.size());
    setMask(QRegion(local).subtracted(
        QRegion(local.adjusted(thickness, thickness, -thickness, -thickness))));
    show();
    update();
}

void TDragOutline97::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
}

}  // namespace zb
