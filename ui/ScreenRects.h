#pragma once
// The screen's geometry in Qt's terms.

#include "ScreenGeometry.h"

#include <QPoint>
#include <QRect>
#include <QSize>

inline QRect ToQRect(const screen::Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}
inline QSize SizeOf(const screen::Rect& r) {
    return QSize(r.Width(), r.Height());
}
inline QPoint ToQPoint(const screen::Point& p) {
    return QPoint(p.x, p.y);
}
