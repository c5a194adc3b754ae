#include "KeyboardFocus.h"

#include <QPainter>

bool ShowsFocusMark(const QWidget& w) {
    return w.hasFocus() && w.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

namespace {

// Dotted in the text colour, as the classic focus frame, over whatever the control shows.
QPen FocusPen(const QWidget& w) {
    return QPen(w.palette().color(QPalette::WindowText), 1, Qt::DotLine);
}

} // namespace

void DrawFocusMark(QPainter& p, const QWidget& w, QRect r) {
    if (!ShowsFocusMark(w))
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(FocusPen(w));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(1, 1, -2, -2));
    p.restore();
}

void DrawFocusRing(QPainter& p, const QWidget& w, QPoint centre, int radius) {
    if (!ShowsFocusMark(w))
        return;
    p.save();
    p.setPen(FocusPen(w));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius);
    p.restore();
}

bool IsEnterKey(const QKeyEvent& e) {
    return (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter) &&
           (e.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsPressKey(const QKeyEvent& e) {
    return IsEnterKey(e) || (e.key() == Qt::Key_Space && e.modifiers() == Qt::NoModifier);
}
