#pragma once
// The block's progress bar: a QProgressBar that never repaints at once and
// hides what lies beneath it, so a step of the count costs one paint of the
// bar alone, merged into the window's next paint.

#include <QProgressBar>

class TProgressBar : public QProgressBar {
  public:
    explicit TProgressBar(QWidget* parent);
    // Shows a count within the range; a count below it shows the bar empty, one above it
    // full. A count that would not move the bar by a pixel is not taken.
    void SetPosition(int count);

  protected:
    bool event(QEvent* e) override;

  private:
    // The filled width the count gives, in pixels of the bar; -1 when empty.
    int Step(int value) const;
};
