#include "Canvas.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>

Canvas::Canvas(QSize size, QColor fill) : image_(size, QImage::Format_RGB32) {
    image_.fill(fill);
}

void Canvas::LineTo(int x1, int y1) {
    const int x0 = pen_.x(), y0 = pen_.y();
    pen_ = QPoint(x1, y1);
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool wide = PenWidth >= 2;
    const bool yMajor = dy > dx;
    const QRgb c = PenColor.rgb();
    QRect area = view_.isEmpty() ? image_.rect() : view_ & image_.rect();
    if (!clip_.isEmpty())
        area &= clip_;
    if (area.isEmpty())
        return;
    const int left = area.left(), top = area.top(), w = area.width(), h = area.height();
    const QPoint shift = view_.isEmpty() ? QPoint() : view_.topLeft() - area.topLeft();
    auto* bits = reinterpret_cast<QRgb*>(image_.bits()) +
                 top * (image_.bytesPerLine() / qsizetype(sizeof(QRgb))) + left;
    const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    const auto plot = [&](int x, int y) {
        x += shift.x();
        y += shift.y();
        if (unsigned(x) < unsigned(w) && unsigned(y) < unsigned(h))
            bits[y * stride + x] = c;
    };
    // Bresenham over the major axis, stopping one pixel short of the end.
    int x = x0, y = y0;
    int err = (yMajor ? dy : dx) / 2;
    const int steps = std::max(dx, dy);
    for (int i = 0; i < steps; ++i) {
        plot(x, y);
        if (wide)
            yMajor ? plot(x - 1, y) : plot(x, y - 1);
        if (yMajor) {
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        } else {
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        }
    }
}

void Canvas::FillRect(const QRect& r) {
    const QRect clipped = r.intersected(image_.rect());
    const QRgb c = BrushColor.rgb();
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        std::fill_n(bits + y * stride + clipped.left(), clipped.width(), c);
}

void Canvas::CopyRect(const QRect& dest, const QImage& source, QPoint from) {
    const QRect part(from, dest.size());
    // Same pixels either way; rows copied directly skip a painter's set-up and its pass.
    // Opaque pixels (RGB32 keeps alpha at 255) mean the same in either 32-bit ARGB format.
    const bool opaque =
        source.format() == QImage::Format_RGB32 &&
        (image_.format() == QImage::Format_ARGB32_Premultiplied || image_.format() == QImage::Format_ARGB32);
    if ((source.format() == image_.format() || opaque) && source.rect().contains(part) &&
        image_.rect().contains(dest)) {
        const qsizetype row = qsizetype(dest.width()) * qsizetype(sizeof(QRgb));
        const qsizetype left = from.x() * qsizetype(sizeof(QRgb));
        for (int y = 0; y < dest.height(); ++y)
            std::memcpy(image_.scanLine(dest.top() + y) + dest.left() * qsizetype(sizeof(QRgb)),
                        source.constScanLine(from.y() + y) + left, std::size_t(row));
        return;
    }
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dest, source, part);
}

QColor ColorFromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int BgrFromColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}
