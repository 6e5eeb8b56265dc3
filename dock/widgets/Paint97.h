#pragma once
// Drawing helpers in the platform palette: the colours the bars, buttons and edit boxes use, and
// one-pixel frames and 3-D edges drawn pixel-exact.

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QRect>

namespace zb::paint97 {

// Button face, button shadow, button highlight, window background, dark shadow and 3-D light.
inline QColor Face(const QPalette& p) {
    return p.color(QPalette::Button);
}
inline QColor Shadow(const QPalette& p) {
    return p.color(QPalette::Dark);
}
inline QColor Highlight(const QPalette& p) {
    return p.color(QPalette::Light);
}
inline QColor Window(const QPalette& p) {
    return p.color(QPalette::Base);
}
inline QColor DarkShadow(const QPalette& p) {
    return p.color(QPalette::Shadow);
}
inline QColor Light(const QPalette& p) {
    return p.color(QPalette::Midlight);
}

enum Ring : unsigned { RaisedOuter, RaisedInner, SunkenOuter, SunkenInner };
enum Side : unsigned { Left = 1, Top = 2, Right = 4, Bottom = 8, AllSides = 15 };

// One-pixel frame along the inside of r.
void FrameRect(QPainter& p, const QRect& r, const QColor& c);
// One ring of a 3-D edge on the chosen sides (top-left colour on the left and top sides,
// bottom-right colour on the right and bottom sides, which own the corners they share with
// them). Returns r inset by one pixel on the drawn sides.
QRect DrawRing(QPainter& p, const QRect& r, Ring ring, unsigned sides, const QPalette& pal);
// An outer and an inner ring around r; with fill, the middle in button face. Returns the middle.
QRect DrawEdge(QPainter& p, const QRect& r, Ring outer, Ring inner, const QPalette& pal, bool fill);
// The small close button of a caption or a docked handle.
void DrawCloseButton(QPainter& p, const QRect& r, bool pushed, const QPalette& pal);

}  // namespace zb::paint97
