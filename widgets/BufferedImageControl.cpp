#include "BufferedImageControl.h"

#include <QPainter>

TBufferedImageControl::TBufferedImageControl(QWidget* parent) : TGraphicControlBase(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
}

void TBufferedImageControl::SetTransparent(bool on) {
    if (on == transparent_)
        return;
    transparent_ = on;
    // Opaque controls paint every pixel; transparent ones let the parent show beneath.
    setAttribute(Qt::WA_OpaquePaintEvent, !on);
    RequestRepaint();
}

void TBufferedImageControl::PrepareBuffer() {
    if (buffer_.size() != size())
        buffer_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    buffer_.fill(transparent_ ? QColor(Qt::transparent) : palette().color(QPalette::Window));
}

void TBufferedImageControl::paintEvent(QPaintEvent*) {
    PrepareBuffer();
    Paint(buffer_);
    QPainter(this).drawImage(0, 0, buffer_);
}
