#include "Canvas.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

Canvas::Canvas(QSize size, QColor fill) : image_(size, QImage::Format_RGB32) {
    image_.fill(fill);
}

void Canvas::Plot(int x, int y, QRgb c) {
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = c;
}

void Canvas::LineTo(int x1, int y1) {
    const int x0 = pen_.x(), y0 = pen_.y();
    pen_ = QPoint(x1, y1);
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool wide = PenWidth >= 2;
    const bool yMajor = dy > dx;
    const QRgb c = PenColor.rgb();
    // Bresenham over the major axis, stopping one pixel short of the end.
    int x = x0, y = y0;
    int err = (yMajor ? dy : dx) / 2;
    const int steps = std::max(dx, dy);
    for (int i = 0; i < steps; ++i) {
        Plot(x, y, c);
        if (wide)
            yMajor ? Plot(x - 1, y, c) : Plot(x, y - 1, c);
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
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(y)) + clipped.left(), clipped.width(), c);
}

void Canvas::CopyRect(const QRect& dest, const QImage& source) {
    QPainter p(&image_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(dest, source);
}

void Canvas::DrawTransparent(QPoint at, const QImage& source) {
    const QRect target = QRect(at, source.size()).intersected(image_.rect());
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y()));
        auto* dst = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = target.left(); x <= target.right(); ++x) {
            const QRgb pixel = src[x - at.x()];
            if ((pixel & 0xFFFFFF) != (KeyColor & 0xFFFFFF))
                dst[x] = pixel;
        }
    }
}

QColor ColorFromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
