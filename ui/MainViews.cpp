// The main window's two views: a block's trace and spectrum, composed where they are shown.

#include "Main.h"
#include "ProgramState.h"
#include "TraceDrawing.h"

#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

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

void TW1::ComposeTimeView(Canvas& target, const DrawnTrace& trace, const QRect& clip) {
    const QRect part = clip.isEmpty() ? TimeViewRect : clip & TimeViewRect;
    target.CopyRect(part, TimeBackground.Image(), part.topLeft() - TimeViewRect.topLeft());
    DrawInView(target, TimeViewRect, part, trace.pen, trace.width,
               [&] { DrawTrace(target, trace.samples, trace.rounding, trace.mvPerRow); });
}

// The spectrum's pen is one pixel wide, whatever the trace's.
void TW1::ComposeSpectrumView(Canvas& target, const QRect& clip) {
    const QRect part = clip.isEmpty() ? SpectrumViewRect : clip & SpectrumViewRect;
    target.CopyRect(part, SpectrumBackground.Image(), part.topLeft() - SpectrumViewRect.topLeft());
    if (const auto& s = drawnSpectrum_)
        DrawInView(target, SpectrumViewRect, part, s->pen, 1,
                   [&] { DrawSpectrumLines(target, s->values, s->divisor, s->filled); });
}

void TW1::ComposeIntoClient() {
    if (traceToCompose_)
        ComposeTimeView(Client, *traceToCompose_, {});
    traceToCompose_.reset();
    if (spectrumToCompose_)
        ComposeSpectrumView(Client, {});
    spectrumToCompose_ = false;
}

void TW1::ShowFastTrace() {
    if (!pendingTrace_) {
        EraseTimeView();
    } else {
        traceToCompose_ =
            DrawnTrace{state_.samples, *pendingTrace_, state_.volt.MvPerRow, tracePenColor_, tracePenWidth_};
        pendingTrace_.reset();
    }
    update(TimeViewRect);
}

void TW1::DrawSpectrum() {
    drawnSpectrum_ =
        DrawnSpectrum{state_.spectrum, state_.volt.SpectrumDivisor, state_.settings.FW, spectrumPen_};
    spectrumToCompose_ = true;
    update(SpectrumViewRect);
}

void TW1::paintEvent(QPaintEvent* e) {
    // On a high-density screen each pixel becomes a block of device pixels: no smoothing, crisp.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    std::optional<Canvas> device = PlainDevice(p);
    if (!device)
        ComposeIntoClient();
    QRegion composed;
    if (traceToCompose_)
        composed += TimeViewRect;
    if (spectrumToCompose_)
        composed += SpectrumViewRect;
    // One rectangle at a time: a block dirties both views, and a copy clipped to a
    // region of two rectangles takes the painter's slow path (and its thread pool).
    for (const QRect& r : e->region()) {
        for (const QRect& kept : QRegion(r).subtracted(composed)) {
            p.setClipRect(kept);
            p.drawImage(kept, Client.Image(), kept);
        }
        if (traceToCompose_ && r.intersects(TimeViewRect))
            ComposeTimeView(*device, *traceToCompose_, r);
        if (spectrumToCompose_ && r.intersects(SpectrumViewRect))
            ComposeSpectrumView(*device, r);
    }
}
