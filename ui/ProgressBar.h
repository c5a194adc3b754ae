#pragma once
// The block's progress bar, drawn by the style as a progress bar is. It never
// repaints at once, hides what lies beneath it, keeps the style's drawing of
// each pixel step, and repaints only the pixels a step changes: a step of the
// count costs one small copy, merged into the window's next paint.

#include <QImage>
#include <QWidget>
#include <map>

class TProgressBar : public QWidget {
  public:
    explicit TProgressBar(QWidget* parent);
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    // Shows a count within the range; a count below it shows the bar empty, one above it
    // full. A count that would not move the bar by a pixel is not taken.
    void SetPosition(int count);
    // What the bar shows: a count within the range, or one below it when empty.
    int Position() const { return position_; }

  protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

  private:
    // The drawing a value gives: -1 empty, 0 at the minimum (the style marks a started
    // bar), else 1 + the filled width in pixels.
    int Step(int value) const;
    // The first value of a step: each step is drawn from it, so a kept drawing is exact.
    int FirstValueOf(int step) const;
    void DrawBar(QPainter& painter, int value) const;
    // The bar at a step over what lies beneath it, drawn once and kept.
    const QImage& Look(int step);

    // What lies beneath the bar, for the corners the style leaves out.
    QImage Beneath();
    // Drops the kept drawings when the bar, its place or its looks change.
    void Forget();

    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = -1;
    std::map<int, QImage> looks_; // by step; the style draws its stripes slowly
    QImage beneath_;
    bool capturing_ = false;
};
