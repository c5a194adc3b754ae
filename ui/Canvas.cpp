#include "Canvas.h"

#include <QPainter>
#include <algorithm>

Canvas::Canvas(QSize size, QColor fill) : image_(size, QImage::Format_RGB32) {
    image_.fill(fill);
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
