#include "ProgressBar.h"

#include <QEvent>
#include <algorithm>

TProgressBar::TProgressBar(QWidget* parent) : QProgressBar(parent) {}

bool TProgressBar::event(QEvent* e) {
    const bool handled = QProgressBar::event(e);
    // After the style's polish, which clears it: the style paints the whole bar but for
    // its rounded corners, which keep what the status bar left there. Without this every
    // step repaints the window and the status panels beneath.
    if (e->type() == QEvent::Polish)
        setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

int TProgressBar::Step(int value) const {
    if (value < minimum())
        return -1;
    return int(qint64(value - minimum()) * width() / std::max(1, maximum() - minimum()));
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
