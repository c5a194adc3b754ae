#include "ProgressBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent) {}

bool TProgressBar::event(QEvent* e) {
    const bool handled = QProgressBar::event(e);
    switch (e->type()) {
    case QEvent::Polish:
        // After the style's polish, which clears it. Without it every step repaints the
        // window and the status panels beneath; the rounded corners that the style leaves
        // out get what lies beneath from the kept drawings instead.
        setAttribute(Qt::WA_OpaquePaintEvent);
        Forget();
        break;
    case QEvent::Show:
        Forget();
        beneath_ = Beneath(); // now, outside any paint: grabbing inside one recurses
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
        Forget();
        break;
    default:
        break;
    }
    return handled;
}

void TProgressBar::Forget() {
    looks_.clear();
    beneath_ = QPixmap();
}

int TProgressBar::Step(int value) const {
    if (value < minimum())
        return -1;
    return int(qint64(value - minimum()) * width() / std::max(1, maximum() - minimum()));
}

int TProgressBar::FirstValueOf(int step) const {
    if (step < 0)
        return minimum() - 1;
    const qint64 span = std::max(1, maximum() - minimum());
    return minimum() + int((qint64(step) * span + width() - 1) / std::max(1, width()));
}

void TProgressBar::SetPosition(int count) {
    if (beneath_.isNull() && isVisible()) {
        beneath_ = Beneath();
        update();
    }
    const int value = count < minimum() ? minimum() - 1 : std::min(count, maximum());
    if (Step(value) == Step(this->value()))
        return; // the bar would look the same
    // setValue and reset paint at once, a round trip to the display each; with updates
    // off they only take the value, and the one paint below goes with the next event pass.
    setUpdatesEnabled(false);
    if (value < minimum())
        reset();
    else
        setValue(value);
    setUpdatesEnabled(true); // this alone asks for a paint
}

QPixmap TProgressBar::Beneath() {
    // The parent and the bar's siblings as they are drawn here, the bar drawing nothing.
    capturing_ = true;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    QPixmap picture = parentWidget() ? parentWidget()->grab(geometry()) : QPixmap(size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    capturing_ = false;
    return picture;
}

void TProgressBar::paintEvent(QPaintEvent* e) {
    if (capturing_)
        return;
    if (beneath_.isNull()) { // until the next step: drawn as the style draws it
        QProgressBar::paintEvent(e);
        return;
    }
    const int step = Step(value());
    auto look = looks_.find(step);
    if (look == looks_.end()) {
        QPixmap picture = beneath_;
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        option.progress = FirstValueOf(step);
        QStylePainter(&picture, this).drawControl(QStyle::CE_ProgressBar, option);
        look = looks_.emplace(step, std::move(picture)).first;
    }
    QPainter(this).drawPixmap(0, 0, look->second);
}
