#include "ProgressBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <algorithm>

namespace {

// The smallest rectangle holding every pixel in which two pictures of one size differ.
QRect Difference(const QImage& a, const QImage& b) {
    int left = a.width(), right = -1, top = a.height(), bottom = -1;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (p[x] != q[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

TProgressBar::TProgressBar(QWidget* parent) : QWidget(parent) {}

void TProgressBar::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = minimum_ - 1;
    Forget();
    update();
}

bool TProgressBar::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    switch (e->type()) {
    case QEvent::Polish:
        // After the style's polish, which may clear it. Without it every step repaints the
        // window and the status panels beneath; the rounded corners that the style leaves
        // out get what lies beneath from the kept drawings instead.
        setAttribute(Qt::WA_OpaquePaintEvent);
        Forget();
        break;
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
        Forget();
        if (isVisible()) {
            beneath_ = Beneath(); // now, outside any paint: grabbing inside one recurses
            update();
        }
        break;
    default:
        break;
    }
    return handled;
}

void TProgressBar::Forget() {
    looks_.clear();
    beneath_ = QImage();
}

int TProgressBar::Step(int value) const {
    if (value <= minimum_)
        return value < minimum_ ? -1 : 0;
    return 1 + int(qint64(value - minimum_) * width() / std::max(1, maximum_ - minimum_));
}

int TProgressBar::FirstValueOf(int step) const {
    if (step <= 0)
        return step < 0 ? minimum_ - 1 : minimum_;
    const qint64 span = std::max(1, maximum_ - minimum_);
    const int first = minimum_ + int((qint64(step - 1) * span + width() - 1) / std::max(1, width()));
    return std::max(first, minimum_ + 1);
}

void TProgressBar::SetPosition(int count) {
    if (beneath_.isNull() && isVisible()) {
        beneath_ = Beneath();
        update();
    }
    const int value = count < minimum_ ? minimum_ - 1 : std::min(count, maximum_);
    const int from = Step(position_), to = Step(value);
    if (from == to)
        return; // the bar would look the same
    position_ = value;
    if (beneath_.isNull())
        return; // painted whole when it shows
    // Only the changed pixels: an area the display has not read since its last copy must
    // wait for the display first, and a growing bar mostly paints pixels it never painted.
    const QRect changed = Difference(Look(from), Look(to));
    if (!changed.isEmpty())
        update(QRectF(QPointF(changed.topLeft()) / beneath_.devicePixelRatio(),
                      QSizeF(changed.size()) / beneath_.devicePixelRatio())
                   .toAlignedRect());
}

void TProgressBar::DrawBar(QPainter& painter, int value) const {
    QStyleOptionProgressBar option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    option.minimum = minimum_;
    option.maximum = maximum_;
    option.progress = value;
    option.textAlignment = Qt::AlignLeft;
    option.textVisible = false;
    style()->drawControl(QStyle::CE_ProgressBar, &option, &painter, this);
}

const QImage& TProgressBar::Look(int step) {
    auto look = looks_.find(step);
    if (look == looks_.end()) {
        QImage picture = beneath_;
        QPainter painter(&picture);
        DrawBar(painter, FirstValueOf(step));
        painter.end();
        look = looks_.emplace(step, std::move(picture)).first;
    }
    return look->second;
}

QImage TProgressBar::Beneath() {
    // The parent and the bar's siblings as they are drawn here, the bar drawing nothing.
    capturing_ = true;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    const QPixmap picture = parentWidget() ? parentWidget()->grab(geometry()) : QPixmap(size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    capturing_ = false;
    return picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void TProgressBar::paintEvent(QPaintEvent*) {
    if (capturing_)
        return;
    QPainter painter(this);
    if (beneath_.isNull()) // until the next step: drawn as the style draws it
        DrawBar(painter, position_);
    else
        painter.drawImage(0, 0, Look(Step(position_)));
}
