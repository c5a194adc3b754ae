#pragma once
// The block's progress bar: a QProgressBar that never repaints at once, hides
// what lies beneath it and keeps the style's drawing of each pixel step, so a
// step of the count costs one small copy, merged into the window's next paint.

#include <QPixmap>
#include <QProgressBar>
#include <map>

class TProgressBar : public QProgressBar {
  public:
    explicit TProgressBar(QWidget* parent);
    // Shows a count within the range; a count below it shows the bar empty, one above it
    // full. A count that would not move the bar by a pixel is not taken.
    void SetPosition(int count);

  protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

  private:
    // The filled width a value gives, in pixels of the bar; -1 when empty.
    int Step(int value) const;
    // The first value of a step: each step is drawn from it, so a kept drawing is exact.
    int FirstValueOf(int step) const;

    // What lies beneath the bar, for the corners the style leaves out.
    QPixmap Beneath();
    // Drops the kept drawings when the bar, its place or its looks change.
    void Forget();

    std::map<int, QPixmap> looks_; // by step; the style draws its stripes slowly
    QPixmap beneath_;
    bool capturing_ = false;
};
