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
        // After the style's polish, which clears it: the style paints the whole bar but for
        // its rounded corners, which keep what the status bar left there. Without this every
        // step repaints the window and the status panels beneath.
        setAttribute(Qt::WA_OpaquePaintEvent);
        looks_.clear();
        break;
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::Resize:
        looks_.clear();
        break;
    default:
        break;
    }
    return handled;
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

void TProgressBar::paintEvent(QPaintEvent*) {
    const int step = Step(value());
    auto look = looks_.find(step);
    if (look == looks_.end()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap picture(size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        option.progress = FirstValueOf(step);
        QStylePainter(&picture, this).drawControl(QStyle::CE_ProgressBar, option);
        look = looks_.emplace(step, std::move(picture)).first;
    }
    QPainter(this).drawPixmap(0, 0, look->second);
}
