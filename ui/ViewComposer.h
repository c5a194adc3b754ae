#pragma once
// The main window's kept picture and its two views: a block's trace and spectrum are composed
// where they are shown, straight onto the image being painted, and into the kept picture only
// when something reads it or draws over it (docs/ARCHITECTURE.md).

#include "Canvas.h"
#include "SampleBuffer.h"
#include "Samples.h"
#include "ScreenRects.h"

#include <optional>

class QPainter;
class QRegion;

class ViewComposer {
  public:
    // Reading or drawing over the kept picture: every view still waiting is composed into it first.
    const QImage& KeptPicture();
    Canvas& KeptPictureToDrawOver();

    const QImage& TimeBackground() const { return timeBackground_.Image(); }
    const QImage& SpectrumBackground() const { return spectrumBackground_.Image(); }
    // A block on the screen keeps the background it was shown on.
    void SetTimeBackground(const QImage& picture);
    void SetSpectrumBackground(const QImage& picture);

    // The pen and the row rounding of the next trace shown; the rounding is used up by it.
    void SetTracePen(QColor color, int width);
    void ChooseTraceRounding(Rounding rounding);
    // The time view shows these samples with the chosen rounding and the pen, over its background;
    // with no rounding chosen since the last trace, the background alone.
    void ShowTrace(const SampleBuffer& samples, int mvPerRow, int positionMv);
    // The spectrum view shows these values; later repaints show them as they were drawn here.
    void ShowSpectrum(const Spectrum& values, int divisor, bool filled, QColor pen);
    // The kept picture's time view holds its background alone; a trace waiting is dropped.
    void EraseTimeView();

    // The views drawn into the kept picture again, now: the last spectrum shown, and these samples
    // rounded to nearest with the trace's pen.
    void RedrawSpectrumView();
    void RedrawTimeView(const SampleBuffer& samples, int mvPerRow, int positionMv);

    // The paint of `region`: the kept picture, the waiting views composed onto the painted image
    // instead where its pixels are the window's one for one; where not, into the kept picture first.
    void Paint(QPainter& p, const QRegion& region);

  private:
    struct Trace {
        SampleBuffer samples;
        Rounding rounding;
        int mvPerRow;
        int positionMv;
        QColor pen;
        int width;
    };
    struct ShownSpectrum {
        Spectrum values;
        int divisor;
        bool filled;
        QColor pen;
    };
    // A view's background and then its lines onto a canvas in the window's coordinates; only the
    // part inside `clip` (empty: all of it).
    void ComposeTimeView(Canvas& target, const Trace& trace, const QRect& clip);
    void ComposeSpectrumView(Canvas& target, const QRect& clip);
    void ComposeWaitingIntoKept();

    const QRect timeView_ = ToQRect(screen::TimeViewRect);
    const QRect spectrumView_ = ToQRect(screen::SpectrumViewRect);
    Canvas timeBackground_{SizeOf(screen::TimeViewRect), Qt::black};
    Canvas spectrumBackground_{SizeOf(screen::SpectrumViewRect), Qt::black};
    Canvas kept_{
        QSize(screen::ClientWidth, screen::ClientHeight)}; // the window's picture; the paint shows it

    QColor tracePen_ = Qt::black;
    int tracePenWidth_ = 1;
    std::optional<Rounding> traceRounding_;
    std::optional<ShownSpectrum> lastSpectrum_;
    // Shown on the screen but not yet in the kept picture: one copy of each background per block.
    std::optional<Trace> waitingTrace_;
    bool spectrumWaiting_ = false;
};
