#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace {

QImage Blank(int w, int h, QColor fill = Qt::transparent) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(fill);
    return img;
}

} // namespace

QImage ConnectGlyph() {
    QImage img = Blank(22, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(230, 200, 60));
    p.drawRoundedRect(QRectF(4, 7, 9, 8), 1.5, 1.5); // plug body
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(13, 8.5, 5, 1.6)); // prongs
    p.drawRect(QRectF(13, 12, 5, 1.6));
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath([] {
        QPainterPath cable(QPointF(4, 11));
        cable.cubicTo(0, 11, 2, 19, 8, 19);
        return cable;
    }());
    return img;
}

QImage OpenGlyph() {
    QImage img = Blank(22, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 80, 10), 1));
    p.setBrush(QColor(230, 190, 80));
    p.drawPolygon(QPolygonF({{2, 5}, {8, 5}, {10, 7}, {18, 7}, {18, 18}, {2, 18}}));
    p.setBrush(QColor(250, 220, 120));
    p.drawPolygon(QPolygonF({{2, 18}, {5, 10}, {21, 10}, {18, 18}}));
    return img;
}

QImage SaveGlyph() {
    QImage img = Blank(22, 22);
    QPainter p(&img);
    p.setPen(QColor(20, 20, 60));
    p.setBrush(QColor(60, 80, 160));
    p.drawRect(3, 3, 16, 16);
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(6, 3, 10, 6); // label
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(7, 12, 8, 7); // shutter
    p.fillRect(12, 13, 2, 5, QColor(60, 80, 160));
    return img;
}

QImage PrintGlyph() {
    QImage img = Blank(22, 22);
    QPainter p(&img);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(Qt::white);
    p.drawRect(6, 2, 10, 7); // paper in
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(2, 8, 18, 8); // body
    p.setBrush(Qt::white);
    p.drawRect(6, 13, 10, 7); // paper out
    p.drawLine(8, 16, 14, 16);
    p.fillRect(16, 10, 2, 2, QColor(40, 180, 40));
    return img;
}

QImage SettingsGlyph() {
    QImage img = Blank(22, 22);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 110));
    for (int i = 0; i < 8; ++i) { // gear teeth
        p.drawRect(QRectF(-1.8, -9.5, 3.6, 5));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 6.5, 6.5);
    p.setBrush(QColor(235, 235, 235));
    p.drawEllipse(QPointF(0, 0), 2.6, 2.6);
    return img;
}

QImage FallingEdgeGlyph() {
    QImage img = Blank(19, 18, Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    p.drawPolyline(QPolygon({{1, 3}, {8, 3}, {8, 15}, {17, 15}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    p.drawPolygon(QPolygon({{12, 5}, {17, 5}, {14, 11}, {14, 11}}));
    return img;
}

QImage RisingEdgeGlyph() {
    QImage img = Blank(19, 18);
    QPainter p(&img);
    p.setPen(QPen(Qt::black, 2));
    p.drawPolyline(QPolygon({{1, 15}, {8, 15}, {8, 3}, {17, 3}}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 140, 0));
    p.drawPolygon(QPolygon({{12, 13}, {17, 13}, {14, 7}}));
    return img;
}

QImage DialFace(int size, int ticks, int firstTickDegrees, int lastTickDegrees) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    const double outer = size / 2.0 - 2;
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    for (int i = 0; i < ticks; ++i) {
        // Angles clockwise from straight down, as the knob counts them.
        const double deg = firstTickDegrees + (lastTickDegrees - firstTickDegrees) * i / double(ticks - 1);
        const double rad = deg * std::numbers::pi / 180;
        const QPointF dir(-std::sin(rad), std::cos(rad));
        p.drawLine(c + dir * (outer - 6), c + dir * outer);
    }
    return img;
}

QImage KnobBody(int size) {
    QImage img = Blank(size, size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(3, 3, size - 6, size - 6);
    QRadialGradient g(r.center() - QPointF(size / 6.0, size / 6.0), size / 1.6);
    g.setColorAt(0, QColor(250, 250, 250));
    g.setColorAt(1, QColor(140, 140, 140));
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(g);
    p.drawEllipse(r);
    return img;
}

QImage KnobHandle(int size, bool rim) {
    QImage img = Blank(size, size, QColor(255, 0, 255));
    QPainter p(&img);
    p.setPen(rim ? QPen(QColor(40, 40, 40), 1) : Qt::NoPen);
    p.setBrush(QColor(110, 110, 110));
    p.drawEllipse(0, 0, size - 1, size - 1);
    return img;
}
