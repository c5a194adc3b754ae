#include "Backgrounds.h"

#include <QColor>
#include <algorithm>

namespace {

QRgb Darker(QRgb c, double factor) {
    return qRgb(int(qRed(c) * factor), int(qGreen(c) * factor), int(qBlue(c) * factor));
}

void Line(QImage& img, int x0, int y0, int x1, int y1, double factor) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            auto* px = reinterpret_cast<QRgb*>(img.scanLine(y)) + x;
            *px = Darker(*px, factor);
        }
}

// A soft shadow along the four edges, strongest at the border.
void DarkenEdges(QImage& img) {
    constexpr int depth = 10;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int d = std::min({x, y, img.width() - 1 - x, img.height() - 1 - y});
            if (d < depth)
                line[x] = Darker(line[x], 0.72 + 0.28 * d / depth);
        }
    }
}

QImage Filled(int w, int h, QColor tint) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(tint);
    return img;
}

} // namespace

QImage TimeBackgroundPicture(int index) {
    static constexpr QRgb tints[] = {qRgb(38, 123, 36), qRgb(35, 81, 121), qRgb(130, 39, 26),
                                     qRgb(155, 151, 0), qRgb(202, 202, 202)};
    QImage img = Filled(500, 250, QColor(tints[std::clamp(index, 0, BackgroundCount - 1)]));
    for (int x = 25; x <= 475; x += 25)
        Line(img, x, 0, x, 249, 0.82);
    for (int y = 25; y <= 225; y += 25)
        Line(img, 0, y, 499, y, 0.82);
    // Centre cross, darker, with small ticks every 5 pixels.
    Line(img, 250, 0, 250, 249, 0.6);
    Line(img, 0, 125, 499, 125, 0.6);
    for (int x = 0; x < 500; x += 5)
        Line(img, x, 123, x, 127, 0.75);
    for (int y = 0; y < 250; y += 5)
        Line(img, 248, y, 252, y, 0.75);
    DarkenEdges(img);
    return img;
}

QImage SpectrumBackgroundPicture(int index) {
    static constexpr QRgb tints[] = {qRgb(206, 206, 206), qRgb(156, 82, 84), qRgb(164, 158, 60),
                                     qRgb(76, 114, 148), qRgb(84, 150, 76)};
    QImage img = Filled(500, 125, QColor(tints[std::clamp(index, 0, BackgroundCount - 1)]));
    for (int x = 25; x <= 475; x += 25)
        Line(img, x, 0, x, 124, 0.82);
    for (int y = 4; y <= 124; y += 20)
        Line(img, 0, y, 499, y, 0.82);
    DarkenEdges(img);
    return img;
}
