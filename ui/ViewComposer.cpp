#include "ViewComposer.h"

#include "TraceDrawing.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

namespace {

// The image a paint goes to, as a canvas in the widget's coordinates, when its pixels are the
// widget's one for one (no scaling) and 32-bit; otherwise none, and the kept picture is copied.
std::optional<Canvas> PlainDevice(QPainter& p) {
    QPaintEngine* engine = p.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    const QTransform t = p.deviceTransform();
    const QPointF origin = t.map(QPointF());
    const QPoint offset = origin.toPoint();
    const bool format = image->format() == QImage::Format_RGB32 ||
                        image->format() == QImage::Format_ARGB32_Premultiplied ||
                        image->format() == QImage::Format_ARGB32;
    // Never through a shared image: writing would detach it from the one being painted.
    if (!format || t.type() > QTransform::TxTranslate || QPointF(offset) != origin || offset.x() < 0 ||
        offset.y() < 0 || offset.x() >= image->width() || offset.y() >= image->height() ||
        !image->isDetached())
        return std::nullopt;
    uchar* at = image->bits() + offset.y() * image->bytesPerLine() + offset.x() * 4;
    return Canvas(QImage(at, image->width() - offset.x(), image->height() - offset.y(), image->bytesPerLine(),
                         image->format()));
}

// Lines in a view's own coordinates, clipped to it and to `clip`, with this pen; a pen of the
// key colour leaves no pixel, as the transparent overlay would. The canvas's pen is kept.
template <class Draw>
void DrawInView(Canvas& target, const QRect& view, const QRect& clip, QColor pen, int width, Draw draw) {
    if ((pen.rgb() & 0xFFFFFF) == (KeyColor & 0xFFFFFF))
        return;
    const QColor color = target.PenColor;
    const int oldWidth = target.PenWidth;
    const QPoint at = target.PenPos();
    target.PenColor = pen;
    target.PenWidth = width;
    target.SetView(view);
    target.SetClip(clip);
    draw();
    target.SetClip({});
    target.SetView({});
    target.PenColor = color;
    target.PenWidth = oldWidth;
    target.MoveTo(at.x(), at.y());
}

} // namespace

const QImage& ViewComposer::KeptPicture() {
    ComposeWaitingIntoKept();
    return kept_.Image();
}

Canvas& ViewComposer::KeptPictureToDrawOver() {
    ComposeWaitingIntoKept();
    return kept_;
}

void ViewComposer::SetTimeBackground(const QImage& picture) {
    ComposeWaitingIntoKept();
    timeBackground_.CopyRect(timeBackground_.Image().rect(), picture);
}

void ViewComposer::SetSpectrumBackground(const QImage& picture) {
    ComposeWaitingIntoKept();
    spectrumBackground_.CopyRect(spectrumBackground_.Image().rect(), picture);
}

void ViewComposer::SetTracePen(QColor color, int width) {
    tracePen_ = color;
    tracePenWidth_ = width;
}

void ViewComposer::ChooseTraceRounding(Rounding rounding) {
    traceRounding_ = rounding;
}

void ViewComposer::ShowTrace(const SampleBuffer& samples, int mvPerRow, int positionMv) {
    if (!traceRounding_) {
        EraseTimeView();
        return;
    }
    waitingTrace_ = Trace{samples, *traceRounding_, mvPerRow, positionMv, tracePen_, tracePenWidth_};
    traceRounding_.reset();
}

void ViewComposer::ShowSpectrum(const Spectrum& values, int divisor, bool filled, QColor pen) {
    lastSpectrum_ = ShownSpectrum{values, divisor, filled, pen};
    spectrumWaiting_ = true;
}

void ViewComposer::EraseTimeView() {
    waitingTrace_.reset();
    kept_.CopyRect(timeView_, timeBackground_.Image());
}

void ViewComposer::RedrawSpectrumView() {
    spectrumWaiting_ = false;
    ComposeSpectrumView(kept_, {});
}

void ViewComposer::RedrawTimeView(const SampleBuffer& samples, int mvPerRow, int positionMv) {
    waitingTrace_.reset();
    ComposeTimeView(kept_, {samples, Rounding::Nearest, mvPerRow, positionMv, tracePen_, tracePenWidth_}, {});
}

void ViewComposer::ComposeTimeView(Canvas& target, const Trace& trace, const QRect& clip) {
    const QRect part = clip.isEmpty() ? timeView_ : clip & timeView_;
    target.CopyRect(part, timeBackground_.Image(), part.topLeft() - timeView_.topLeft());
    DrawInView(target, timeView_, part, trace.pen, trace.width,
               [&] { DrawTrace(target, trace.samples, trace.rounding, trace.mvPerRow, trace.positionMv); });
}

// The spectrum's pen is one pixel wide, whatever the trace's.
void ViewComposer::ComposeSpectrumView(Canvas& target, const QRect& clip) {
    const QRect part = clip.isEmpty() ? spectrumView_ : clip & spectrumView_;
    target.CopyRect(part, spectrumBackground_.Image(), part.topLeft() - spectrumView_.topLeft());
    if (const auto& s = lastSpectrum_)
        DrawInView(target, spectrumView_, part, s->pen, 1,
                   [&] { DrawSpectrumLines(target, s->values, s->divisor, s->filled); });
}

void ViewComposer::ComposeWaitingIntoKept() {
    if (waitingTrace_)
        ComposeTimeView(kept_, *waitingTrace_, {});
    waitingTrace_.reset();
    if (spectrumWaiting_)
        ComposeSpectrumView(kept_, {});
    spectrumWaiting_ = false;
}

void ViewComposer::Paint(QPainter& p, const QRegion& region) {
    std::optional<Canvas> device = PlainDevice(p);
    if (!device)
        ComposeWaitingIntoKept(); // a scaled paint copies the kept picture only
    QRegion composed;
    if (waitingTrace_)
        composed += timeView_;
    if (spectrumWaiting_)
        composed += spectrumView_;
    // One rectangle at a time: a block dirties both views, and a copy clipped to a
    // region of two rectangles takes the painter's slow path (and its thread pool).
    for (const QRect& r : region) {
        for (const QRect& kept : QRegion(r).subtracted(composed)) {
            p.setClipRect(kept);
            p.drawImage(kept, kept_.Image(), kept);
        }
        if (waitingTrace_ && r.intersects(timeView_))
            ComposeTimeView(*device, *waitingTrace_, r);
        if (spectrumWaiting_ && r.intersects(spectrumView_))
            ComposeSpectrumView(*device, r);
    }
}
