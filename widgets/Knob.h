#pragma once
// Rotary knob of the tool window: an integer Position between MinValue and
// MaxValue, shown as a handle travelling on a circle, set by dragging with
// the left button around the centre. Interim version: plain angle arithmetic.

#include <QImage>
#include <QWidget>
#include <functional>

class TKnob : public QWidget {
  public:
    explicit TKnob(QWidget* parent = nullptr);

    int Position() const { return position_; }
    void SetPosition(int value);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    // Sets both limits at once, as a form does while loading (no checks, no event).
    void SetRange(int min, int max);
    int BaseAngle() const { return baseAngle_; }
    void SetBaseAngle(int degrees);
    int Radius() const { return radius_; }
    void SetRadius(int pixels);
    void SetHandleImage(const QImage& picture);

    std::function<void(TKnob*)> OnChange;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    void FollowPointer(QPoint p);
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int baseAngle_ = 0;
    int radius_ = 40;
    bool dragging_ = false;
    QImage handle_;
};
