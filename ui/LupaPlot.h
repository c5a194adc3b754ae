#pragma once
// The magnifier's picture: the block (and a reference block) against axes in
// volts and seconds, zoomed and panned with the mouse, and its spectrum in dB
// with the peaks and the noise floor below. It draws what it is given; the
// arithmetic is signal/'s.

#include "DbLevels.h"
#include "ReferenceTrace.h"
#include "ZoomSpan.h"

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <array>
#include <optional>

class TLupaPlot : public QWidget {
  public:
    explicit TLupaPlot(QWidget* parent);

    // The shown block in volts, taken at a T/dz and V/dz position; other positions than the
    // last show the whole block again.
    void SetBlock(const std::array<double, BlockSamples>& volts, int timebase, int voltPosition);
    void SetReference(const std::optional<ReferenceTrace>& reference);
    void SetSpectrum(const DbSpectrum& spectrum, DbScale scale);
    void SetCaption(const QString& caption); // above the trace: what the block is

    // The view: zoomed about a time or voltage (factor below 1 zooms in), or the whole block.
    void ZoomTime(double anchor, double factor);
    void ZoomVolts(double anchor, double factor);
    void ShowWhole();
    Span TimeSpan() const { return time_; }
    Span VoltSpan() const { return volts_; }

    // Where the panes are, in the widget's logical pixels.
    QRectF TracePane() const;
    QRectF SpectrumPane() const;
    // The read-out at a point of the widget: empty outside the panes.
    QString ReadoutAt(QPointF at) const;

  protected:
    void paintEvent(QPaintEvent*) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent*) override;

  private:
    Span TimeLimit() const;
    Span VoltLimit() const { return {0, 10}; } // the converter's range
    double SecondsPerSample() const;
    double TimeAt(double x) const;
    double VoltsAt(double y) const;
    QPointF TracePoint(double t, double v) const;
    double SpectrumTop() const;
    double SpectrumBottom() const { return SpectrumTop() - 120; }
    QPointF SpectrumPoint(double hz, double db) const;
    void SetSpans(Span time, Span volts);
    const QImage& Background();
    void DrawBackground(QPainter& p);
    void DrawTraces(QPainter& p);
    void DrawSpectrum(QPainter& p);
    void DrawOverlay(QPainter& p);

    std::array<double, BlockSamples> block_{};
    int timebase_ = -1, voltPosition_ = -1;
    std::optional<ReferenceTrace> reference_;
    DbSpectrum spectrum_;
    DbScale scale_ = DbScale::Dbv;
    QString caption_;
    Span time_, volts_{0, 10};

    // Grid, axes and their texts, drawn again only when the view or the size change.
    QImage background_;
    bool backgroundValid_ = false;

    enum class Drag { None, Pan, Rectangle } drag_ = Drag::None;
    QPointF pressAt_, pointer_;
    bool pointerInside_ = false;
    Span pressTime_, pressVolts_;
};
