#include "Knob.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

TKnob::TKnob(QWidget* parent) : QWidget(parent) {
    setFixedSize(85, 85);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TKnob::SetPosition(int value) {
    value = std::min(std::max(value, min_), max_);
    if (value == position_)
        return;
    position_ = value;
    update();
    if (OnChange)
        OnChange(this);
}

void TKnob::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, std::max(min_, max_));
    update();
}

void TKnob::SetBaseAngle(int degrees) {
    if (degrees == baseAngle_)
        return;
    baseAngle_ = degrees;
    update();
}

void TKnob::SetRadius(int pixels) {
    if (pixels == radius_)
        return;
    radius_ = pixels;
    update();
}

void TKnob::SetHandleImage(const QImage& picture) {
    handle_ = picture;
    update();
}

void TKnob::paintEvent(QPaintEvent*) {
    if (handle_.isNull())
        return;
    const int range = max_ - min_;
    const double span = 360.0 - 2 * baseAngle_;
    const double fraction = range == 0 ? 0.0 : double(position_ - min_) / range;
    const double theta = (baseAngle_ + 180 + fraction * span) * std::numbers::pi / 180;
    const int r = radius_ - 10;
    const int x = width() / 2 + int(r * std::sin(theta));
    const int y = height() / 2 - int(r * std::cos(theta));
    QPainter p(this);
    p.drawImage(x - handle_.width() / 2, y - handle_.height() / 2, handle_);
}

void TKnob::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    FollowPointer(e->position().toPoint());
}

void TKnob::mouseMoveEvent(QMouseEvent* e) {
    if (dragging_)
        FollowPointer(e->position().toPoint());
}

void TKnob::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

void TKnob::FollowPointer(QPoint p) {
    const double dx = p.x() - width() / 2;
    const double dy = p.y() - height() / 2;
    // Degrees clockwise from straight down; the dead zone is around the bottom.
    double phi = std::atan2(-dx, dy) * 180 / std::numbers::pi;
    if (phi < 0)
        phi += 360;
    phi = std::clamp(phi, double(baseAngle_), 360.0 - baseAngle_);
    const double span = 360.0 - 2 * baseAngle_;
    const double fraction = span <= 0 ? 0.0 : (phi - baseAngle_) / span;
    SetPosition(min_ + int(std::lround(fraction * (max_ - min_))));
}
