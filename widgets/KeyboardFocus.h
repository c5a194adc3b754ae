#pragma once
// What the keyboard's focus looks like and which keys press a control. The mark shows only
// once the keyboard has moved the focus in a window, so a window looks as it always did until
// the keyboard is used, and a mouse click alone never marks anything.

#include <QKeyEvent>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QPainter;

bool ShowsFocusMark(const QWidget& w);
// The mark, when it shows: a dotted frame just inside `r`, or a dotted ring.
void DrawFocusMark(QPainter& p, const QWidget& w, QRect r);
void DrawFocusRing(QPainter& p, const QWidget& w, QPoint centre, int radius);
// Space or Enter without modifiers: the keys that press a focused control.
bool IsPressKey(const QKeyEvent& e);
bool IsEnterKey(const QKeyEvent& e);
