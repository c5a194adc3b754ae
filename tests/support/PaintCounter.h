#pragma once
// Counts the paints a widget receives, once installed as its event filter.

#include <QEvent>
#include <QObject>

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
    }
};
