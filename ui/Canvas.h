#pragma once
// GDI-style drawing surface: a QImage with a current pen, brush and pen
// position. All drawing of the views goes through it so that pixels match the
// original exactly (no antialiasing, line end points not drawn).

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <utility>

// Magenta: the transparent colour of the views' pictures. A pen of it draws nothing there.
inline constexpr QRgb KeyColor = 0xFFFF00FF;

class Canvas {
  public:
    explicit Canvas(QSize size, QColor fill = QColor::fromRgb(KeyColor));
    // Onto the given picture, which may be a header over another's pixels.
    explicit Canvas(QImage image) : image_(std::move(image)) {}

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    QColor PenColor = Qt::black;
    int PenWidth = 1;
    QColor BrushColor = QColor::fromRgb(KeyColor);

    void MoveTo(int x, int y) { pen_ = QPoint(x, y); }
    // A line from the pen position to (x, y), the end point not drawn; width 2
    // adds the neighbouring pixel on the minor axis, as a wide pen covers it.
    void LineTo(int x, int y);
    QPoint PenPos() const { return pen_; }

    // Lines in a view's own coordinates: offset by the view's top left, and nothing drawn
    // outside it, as if into a picture of the view's size placed there. Empty: the whole image.
    void SetView(const QRect& view) { view_ = view; }
    // Lines leave the pixels outside this rectangle alone too. Empty: no such limit.
    void SetClip(const QRect& clip) { clip_ = clip; }

    void FillRect(const QRect& r); // with the brush
    void Fill() { FillRect(image_.rect()); }
    // Plain source copy of the part of a picture at `from` of the destination's size.
    void CopyRect(const QRect& dest, const QImage& source, QPoint from = {});

  private:
    QImage image_;
    QPoint pen_;
    QRect view_;
    QRect clip_;
};

// Pen colour from a stored 0x00BBGGRR value, and back.
QColor ColorFromBgr(int bgr);
int BgrFromColor(const QColor& c);
