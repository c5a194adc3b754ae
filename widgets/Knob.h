#pragma once
// The rotary knob: an integer Position between MinValue and MaxValue, shown as
// a handle picture travelling on a circle over a back picture, set by pressing
// and dragging the left button around the knob's centre, with the mouse wheel,
// or, once focused with Tab, with the arrow keys, Home and End.

#include "BufferedImageControl.h"
#include "KnobMath.h"

#include <QImage>
#include <functional>
#include <optional>
#include <stdexcept>

class EKnobError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A picture with an optional transparent colour of its own.
struct TKnobPicture {
    QImage image;
    std::optional<QRgb> transparentColor;
    // Its own colour if set; white for a two-colour picture; else its bottom-left pixel.
    QRgb TransparentColor() const;
};

class TKnob : public TBufferedImageControl {
  public:
    explicit TKnob(QWidget* parent = nullptr);

    int Position() const { return position_; }
    void SetPosition(int value);
    int MinValue() const { return min_; }
    void SetMinValue(int value);
    int MaxValue() const { return max_; }
    void SetMaxValue(int value);
    int BaseAngle() const { return baseAngle_; }
    void SetBaseAngle(int degrees);
    int Radius() const { return radius_; }
    void SetRadius(int pixels);
    const TKnobPicture& BackImage() const { return back_; }
    void SetBackImage(const TKnobPicture& picture); // an empty picture loads the default
    const TKnobPicture& HandleImage() const { return handle_; }
    void SetHandleImage(const TKnobPicture& picture);
    // Positions a wheel notch or an arrow key moves with Shift held (one without).
    void SetShiftStep(int positions) { shiftStep_ = positions; }

    std::function<void(TKnob*)> OnChange;

    void SetBounds(int left, int top, int width, int height) override;
    KnobGeometry Geometry() const;

  protected:
    void Paint(QImage& buffer) override;
    virtual void LoadDefaultBackImage();
    virtual void LoadDefaultHandleImage();
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    int radius_ = 40;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int shiftStep_ = 1;
    TKnobPicture back_;
    TKnobPicture handle_;
    bool dragging_ = false;
    int wheelRest_ = 0; // part of a notch turned so far
    int baseAngle_ = 0;
};
