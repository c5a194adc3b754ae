#pragma once
// Counts the paints a widget receives, once installed as its event filter, and
// keeps the area of the last.

#include <QEvent>
#include <QObject>
#include <QPaintEvent>

struct PaintCounter : QObject {
    int paints = 0;
    QRect area;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            area = static_cast<QPaintEvent*>(e)->rect();
        }
        return false;
    }
};
