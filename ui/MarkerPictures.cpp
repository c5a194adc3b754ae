#include "MarkerPictures.h"

QImage MarkerLinePicture(QColor color) {
    QImage img(10, 284, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y <= 9; ++y) { // 10 px wide at the top narrowing to 2 px
        const int half = 5 - (y * 4) / 9;
        for (int x = 5 - half; x < 5 + half; ++x)
            img.setPixelColor(x, y, color);
    }
    for (int y = 12; y <= 264; ++y)
        if ((y - 12) % 5 != 4)
            img.setPixelColor(5, y, color);
    for (int y = 265; y <= 283; ++y)
        img.setPixelColor(5, y, Qt::black);
    return img;
}

QImage MarkerLevelPicture(QColor color) {
    QImage img(508, 3, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int x = 0; x <= 499; ++x)
        if (x % 5 != 4)
            img.setPixelColor(x, 1, color);
    for (int x = 502; x <= 507; ++x)
        img.setPixelColor(x, 1, Qt::black);
    return img;
}

QImage TriggerLinePicture() {
    QImage img(500, 1, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int x = 0; x < 500; ++x)
        if (x % 4 != 3)
            img.setPixelColor(x, 0, QColor(72, 109, 255));
    return img;
}
