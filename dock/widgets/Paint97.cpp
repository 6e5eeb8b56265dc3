#include "dock/widgets/Paint97.h"

namespace zb::paint97 {

void FrameRect(QPainter& p, const QRect& r, const QColor& c) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

QRect DrawRing(QPainter& p, const QRect& r, Ring ring, unsigned sides, const QPalette& pal) {
    if (r.width() <= 0 || r.height() <= 0) return r;
    QColor topLeft, bottomRight;
    switch (ring) {
        case RaisedOuter:
            topLeft = Light(pal);
            bottomRight = DarkShadow(pal);
            break;
        case RaisedInner:
            topLeft = Highlight(pal);
            bottomRight = Shadow(pal);
            break;
        case SunkenOuter:
            topLeft = Shadow(pal);
            bottomRight = Highlight(pal);
            break;
        case SunkenInner:
            topLeft = DarkShadow(pal);
            bottomRight = Light(pal);
            break;
    }
    if (sides & Top) p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    if (sides & Left) p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    if (sides & Bottom) p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    if (sides & Right) p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    QRect inner = r;
    if (sides & Left) inner.setLeft(inner.left() + 1);
    if (sides & Top) inner.setTop(inner.top() + 1);
    if (sides & Right) inner.setRight(inner.right() - 1);
    if (sides & Bottom) inner.setBottom(inner.bottom() - 1);
    return inner;
}

QRect DrawEdge(QPainter& p, const QRect& r, Ring outer, Ring inner, const QPalette& pal,
               bool fill) {
    QRect middle = DrawRing(p, r, outer, AllSides, pal);
    middle = DrawRing(p, middle, inner, AllSides, pal);
    if (fill && middle.isValid()) p.fillRect(middle, Face(pal));
    return middle;
}

void DrawCloseButton(QPainter& p, const QRect& r, bool pushed, const QPalette& pal) {
    p.fillRect(r, Face(pal));
    if (pushed)
        DrawEdge(p, r, SunkenOuter, SunkenInner, pal, false);
    else
        DrawEdge(p, r, RaisedOuter, RaisedInner, pal, false);
    // The cross, two pixels thick, shifted when pushed.
    const int off = pushed ? 1 : 0;
    const int size = std::max(r.width() - 6, 2);
    const int x0 = r.left() + (r.width() - size) / 2 + off;
    const int y0 = r.top() + (r.height() - size) / 2 + off;
    const QColor ink = pal.color(QPalette::ButtonText);
    for (int i = 0; i < size; ++i) {
        p.fillRect(QRect(x0 + i, y0 + i, 2, 1), ink);
        p.fillRect(QRect(x0 + size - 1 - i, y0 + i, 2, 1), ink);
    }
}

}  // namespace zb::paint97
