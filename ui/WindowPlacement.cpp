#include "WindowPlacement.h"

#include "PlaceWindowPair.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// Puts a window's outer top-left corner on a point, whatever frame the window system adds.
void MoveFrameTo(QWidget& w, QPoint target) {
    w.move(target);
    const QPoint off = w.frameGeometry().topLeft() - target;
    if (!off.isNull())
        w.move(w.pos() - off);
}

bool Framed(const QWidget& w) {
    return w.frameGeometry().size() != w.size();
}

// The frames a window manager adds are known by a window's first expose (or the move that
// framing it causes); the pair was placed with the sizes known before.
class FrameWatcher : public QObject {
  public:
    FrameWatcher(QWidget& w1, QWidget& w2) : QObject(&w2), w1_(w1), w2_(w2) {
        Place();
        for (QWidget* w : {&w1_, &w2_})
            if (w->windowHandle())
                w->windowHandle()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Expose || e->type() == QEvent::Move) {
            if (w1_.frameGeometry().size() != placed1_ || w2_.frameGeometry().size() != placed2_)
                Place();
            if (Framed(w1_) && Framed(w2_)) { // placed by both frames: start-up is done
                for (QWidget* w : {&w1_, &w2_})
                    if (w->windowHandle())
                        w->windowHandle()->removeEventFilter(this);
            }
        }
        return QObject::eventFilter(watched, e);
    }

  private:
    void Place() {
        placed1_ = w1_.frameGeometry().size();
        placed2_ = w2_.frameGeometry().size();
        PlaceWindowPair(w1_, w2_);
    }

    QWidget& w1_;
    QWidget& w2_;
    QSize placed1_, placed2_; // the outer sizes the last placement used
};

QRect WorkArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

void PlaceWindowPair(QWidget& w1, QWidget& w2) {
    const QSize area = WorkArea().size();
    const QSize outer1 = w1.frameGeometry().size();
    const QSize outer2 = w2.frameGeometry().size();
    const auto p = PlaceWindowPair({area.width(), area.height()}, {outer1.width(), outer1.height()},
                                   {outer2.width(), outer2.height()});
    MoveFrameTo(w2, {p.w2.left, p.w2.top});
    MoveFrameTo(w1, {p.w1.left, p.w1.top});
}

void PlaceWindowPairOnceFramed(QWidget& w1, QWidget& w2) {
    new FrameWatcher(w1, w2); // owned by w2
}

void DockMainWindow(QWidget& w1, const QWidget& w2) {
    const QRect tool = w2.frameGeometry();
    const WinPos to = DockLeftOf({tool.x(), tool.y()}, {w1.frameGeometry().width(), 0});
    w1.move(w1.pos() + QPoint(to.left, to.top) - w1.frameGeometry().topLeft());
}

void CentreOnWorkArea(QWidget& dialog) {
    dialog.move(WorkArea().center() - dialog.rect().center());
}

void PlaceBeside(QWidget& window, QWidget& w1, QWidget& w2, BesideEdge edge) {
    const QRect pair = w1.frameGeometry().united(w2.frameGeometry());
    const QRect area = w2.screen()->availableGeometry();
    const QSize outer = window.frameGeometry().size();
    const SidePlacement p = PlaceSideWindow({area.x(), area.y(), area.width(), area.height()},
                                            {pair.x(), pair.y(), pair.width(), pair.height()},
                                            {outer.width(), outer.height()}, edge == BesideEdge::Bottom);
    if (p.pairShift != 0)
        for (QWidget* w : {&w1, &w2})
            w->move(w->pos() + QPoint(p.pairShift, 0));
    window.move(p.window.left, p.window.top);
}
