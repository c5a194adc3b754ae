#include "Knob.h"

#include "KeyboardFocus.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Draws a picture leaving out the pixels of its transparent colour.
void DrawWithout(QImage& target, QPoint at, const TKnobPicture& picture) {
    const QRgb key = picture.TransparentColor() & 0xFFFFFF;
    const QImage src = picture.image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            const QRgb c = src.pixel(x, y);
            if ((c & 0xFFFFFF) != key && target.rect().contains(p))
                target.setPixel(p, c | 0xFF000000);
        }
}

} // namespace

QRgb TKnobPicture::TransparentColor() const {
    if (transparentColor)
        return *transparentColor;
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        return qRgb(255, 255, 255);
    return image.isNull() ? qRgb(255, 255, 255) : image.pixel(0, image.height() - 1);
}

TKnob::TKnob(QWidget* parent) : TBufferedImageControl(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    resize(85, 85);
    setFocusPolicy(Qt::TabFocus); // the keyboard reaches it; a click does not move the focus
    SetTransparent(true);
    BeginLoading(); // the defaults below are set as a form would set them
    LoadDefaultBackImage();
    LoadDefaultHandleImage();
    EndLoading();
}

KnobGeometry TKnob::Geometry() const {
    return {min_, max_, baseAngle_, radius_, width(), height()};
}

void TKnob::SetPosition(int value) {
    value = std::min(std::max(value, min_), max_);
    if (value == position_)
        return;
    position_ = value;
    RequestRepaint();
    if (OnChange)
        OnChange(this);
}

void TKnob::SetMaxValue(int value) {
    if (value == max_)
        return;
    if (value < min_ && !Loading())
        throw EKnobError("Value out of range.");
    max_ = value;
    if (value < position_)
        SetPosition(value);
    else
        RequestRepaint();
}

void TKnob::SetMinValue(int value) {
    if (value == min_)
        return;
    if (value > max_ && !Loading())
        throw EKnobError("Value out of range.");
    min_ = value;
    if (position_ < value)
        SetPosition(value);
    else
        RequestRepaint();
}

void TKnob::SetBaseAngle(int degrees) {
    if (degrees == baseAngle_)
        return;
    baseAngle_ = degrees;
    RequestRepaint();
}

void TKnob::SetRadius(int pixels) {
    if (pixels == radius_)
        return;
    radius_ = pixels;
    RequestRepaint();
}

void TKnob::SetBackImage(const TKnobPicture& picture) {
    if (picture.image.isNull())
        LoadDefaultBackImage();
    else
        back_ = picture;
    RefitBounds(); // the control takes the picture's size
}

void TKnob::SetHandleImage(const TKnobPicture& picture) {
    if (picture.image.isNull())
        LoadDefaultHandleImage();
    else
        handle_ = picture;
    RequestRepaint();
}

void TKnob::SetBounds(int left, int top, int width, int height) {
    if (!back_.image.isNull()) {
        width = back_.image.width();
        height = back_.image.height();
    }
    TBufferedImageControl::SetBounds(left, top, width, height);
}

void TKnob::LoadDefaultBackImage() {
    QImage face(85, 85, QImage::Format_RGB32);
    face.fill(Qt::white);
    QPainter p(&face);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(30, 30), 60);
    g.setColorAt(0, QColor(245, 245, 245));
    g.setColorAt(1, QColor(150, 150, 150));
    p.setBrush(g);
    p.setPen(QColor(80, 80, 80));
    p.drawEllipse(QRectF(4, 4, 76, 76));
    back_ = {face, qRgb(255, 255, 255)};
}

void TKnob::LoadDefaultHandleImage() {
    QImage dot(9, 9, QImage::Format_RGB32);
    dot.fill(QColor(255, 0, 255));
    QPainter p(&dot);
    p.setBrush(QColor(90, 90, 90));
    p.setPen(Qt::NoPen);
    p.drawEllipse(0, 0, 8, 8);
    handle_ = {dot, qRgb(255, 0, 255)};
}

void TKnob::Paint(QImage& buffer) {
    const QImage& back = back_.image;
    const QPoint backAt((width() - back.width()) / 2, (height() - back.height()) / 2);
    if (Transparent()) {
        DrawWithout(buffer, backAt, back_);
    } else {
        QPainter(&buffer).drawImage(backAt, back);
    }
    const KnobPoint c = KnobHandleCentre(Geometry(), position_);
    DrawWithout(buffer, QPoint(c.x - handle_.image.width() / 2, c.y - handle_.image.height() / 2), handle_);
    QPainter p(&buffer);
    DrawFocusRing(p, *this, QPoint(width() / 2, height() / 2), radius_);
}

void TKnob::mousePressEvent(QMouseEvent* e) {
    TBufferedImageControl::mousePressEvent(e);
    if (e->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    const QPoint p = e->position().toPoint();
    SetPosition(KnobPointerPosition(Geometry(), p.x(), p.y()));
}

void TKnob::mouseMoveEvent(QMouseEvent* e) {
    TBufferedImageControl::mouseMoveEvent(e);
    if (!dragging_)
        return;
    const QPoint p = e->position().toPoint();
    SetPosition(KnobPointerPosition(Geometry(), p.x(), p.y()));
}

void TKnob::mouseReleaseEvent(QMouseEvent* e) {
    TBufferedImageControl::mouseReleaseEvent(e);
    dragging_ = false;
}

// One position per notch of the wheel (120 eighths of a degree), up turns it up; a fine-grained
// wheel adds up to whole notches. Through SetPosition, as a click: clamped, OnChange on a change.
void TKnob::wheelEvent(QWheelEvent* e) {
    // Some desktops turn a wheel held with Shift into a sideways one.
    const QPoint delta = e->angleDelta();
    wheelRest_ += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    const int step = e->modifiers() & Qt::ShiftModifier ? shiftStep_ : 1;
    if (notches != 0)
        SetPosition(std::clamp(position_ + notches * step, min_, max_));
    e->accept();
}

// One position per key, or to an end, through SetPosition as a click on that position.
void TKnob::keyPressEvent(QKeyEvent* e) {
    const int step = e->modifiers() & Qt::ShiftModifier ? shiftStep_ : 1;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        SetPosition(position_ - step);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        SetPosition(position_ + step);
        break;
    case Qt::Key_Home:
        SetPosition(min_);
        break;
    case Qt::Key_End:
        SetPosition(max_);
        break;
    default:
        TBufferedImageControl::keyPressEvent(e);
    }
}

void TKnob::focusInEvent(QFocusEvent* e) {
    TBufferedImageControl::focusInEvent(e);
    RequestRepaint();
}

void TKnob::focusOutEvent(QFocusEvent* e) {
    TBufferedImageControl::focusOutEvent(e);
    RequestRepaint();
}
