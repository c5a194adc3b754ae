#pragma once
// A windowless control that draws each paint into an off-screen buffer and
// shows the finished picture in one copy, so it never flickers. When
// Transparent, the parent's pixels show through wherever the control draws
// nothing: Qt composes the parent beneath in its backing store, which is the
// background capture the control relies on.

#include "GraphicControlBase.h"

#include <QImage>

class TBufferedImageControl : public TGraphicControlBase {
  public:
    explicit TBufferedImageControl(QWidget* parent = nullptr);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

  protected:
    void paintEvent(QPaintEvent*) override;
    // Readies the buffer: cleared to transparent, or filled with the control's colour.
    virtual void PrepareBuffer();
    // Draws the control's picture into the prepared buffer.
    virtual void Paint(QImage& buffer) = 0;

    QImage& Buffer() { return buffer_; }

  private:
    QImage buffer_;
    bool transparent_ = false;
};
