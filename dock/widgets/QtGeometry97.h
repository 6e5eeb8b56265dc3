#pragma once
// Conversions between the layout core's geometry and Qt's.

#include <QPoint>
#include <QRect>
#include <QSize>

#include "dock/core/Geometry.h"

namespace zb {

inline QRect ToQRect(const TRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}
inline TRect ToTRect(const QRect& r) {
    return TRect::FromSize(r.x(), r.y(), r.width(), r.height());
}
inline QPoint ToQPoint(TPoint p) {
    return QPoint(p.x, p.y);
}
inline TPoint ToTPoint(QPoint p) {
    return {p.x(), p.y()};
}
inline QSize ToQSize(TSize s) {
    return QSize(s.cx, s.cy);
}
inline TSize ToTSize(QSize s) {
    return {s.width(), s.height()};
}

}  // namespace zb
