#include "LupaPlot.h"

#include "AxisTicks.h"
#include "RangeTables.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double Left = 74, Right = 30, Top = 26; // margins for the scales and the caption
constexpr double AxisText = 20;                   // under each pane
constexpr double PaneGap = 14;
constexpr double TraceShare = 0.62; // of the height both panes share
constexpr double ZoomPerNotch = 0.8;
constexpr double LeastSamples = 5;      // the narrowest time span, in samples
constexpr double LeastVolts = 0.02;     // about two converter steps
constexpr double TickSpacingX = 90;     // pixels between time or frequency marks, at least
constexpr double TickSpacingY = 36;     // between voltage or level marks
constexpr double SpectrumHeadroom = 20; // dB above the largest sine the converter can take

const QColor Paper(255, 255, 255);
const QColor Grid(224, 224, 224);
const QColor Ink(40, 40, 40);
const QColor TraceColor(0, 70, 200);
const QColor ReferenceColor(230, 120, 0);
const QColor SpectrumColor(0, 120, 60);
const QColor PeakColor(200, 0, 0);
const QColor FloorColor(120, 120, 120);

// One device pixel wide at every scale factor: crisp, and the only antialiased pen Qt's
// raster engine draws without stroking a path, 30 to 200 times faster at 1920 x 1080.
QPen Hairline(const QColor& color) {
    QPen pen(color, 0);
    pen.setCosmetic(true);
    return pen;
}

std::string Separator() {
    return QLocale().decimalPoint().toStdString();
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// Label of a reference: its name and the scales it was taken with.
QString ReferenceCaption(const ReferenceTrace& r) {
    const auto& time = TimebaseTable.at(std::size_t(r.timebase));
    const auto& volt = VoltTable.at(std::size_t(std::clamp(r.voltPosition, 0, int(VoltTable.size()) - 1)));
    return QStringLiteral("Wzorzec: %1 (%2/dz, %3/dz)")
        .arg(Text(r.label), QString::fromUtf8(time.Text), QString::fromUtf8(volt.Text));
}

} // namespace

TLupaPlot::TLupaPlot(QWidget* parent) : QWidget(parent) {
    setObjectName("LupaPlot");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted: nothing to erase first
    setMinimumSize(360, 260);
    spectrum_.level.fill(SilentDb);
}

void TLupaPlot::SetBlock(const std::array<double, BlockSamples>& volts, int timebase, int voltPosition) {
    block_ = volts;
    if (timebase != timebase_ || voltPosition != voltPosition_) {
        timebase_ = timebase;
        voltPosition_ = voltPosition;
        ShowWhole();
    }
    update();
}

void TLupaPlot::SetReference(const std::optional<ReferenceTrace>& reference) {
    if (reference == reference_)
        return;
    reference_ = reference;
    SetSpans(time_, volts_); // the limits may have changed
    backgroundValid_ = false;
    update();
}

void TLupaPlot::SetSpectrum(const DbSpectrum& spectrum, DbScale scale) {
    if (scale != scale_ || spectrum.binHz != spectrum_.binHz)
        backgroundValid_ = false;
    spectrum_ = spectrum;
    scale_ = scale;
    update();
}

void TLupaPlot::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
}

double TLupaPlot::SecondsPerSample() const {
    return ::SecondsPerSample(std::max(timebase_, 0));
}

Span TLupaPlot::TimeLimit() const {
    double end = BlockSamples * SecondsPerSample();
    if (reference_)
        end = std::max(end, BlockSamples * ::SecondsPerSample(reference_->timebase));
    return {0, end};
}

void TLupaPlot::SetSpans(Span time, Span volts) {
    const Span t = ZoomAbout(time, time.lo, 1, TimeLimit(), LeastSamples * SecondsPerSample());
    const Span v = ZoomAbout(volts, volts.lo, 1, VoltLimit(), LeastVolts);
    if (t == time_ && v == volts_)
        return;
    time_ = t;
    volts_ = v;
    backgroundValid_ = false;
    update();
}

void TLupaPlot::ZoomTime(double anchor, double factor) {
    SetSpans(ZoomAbout(time_, anchor, factor, TimeLimit(), LeastSamples * SecondsPerSample()), volts_);
}

void TLupaPlot::ZoomVolts(double anchor, double factor) {
    SetSpans(time_, ZoomAbout(volts_, anchor, factor, VoltLimit(), LeastVolts));
}

void TLupaPlot::ShowWhole() {
    const double fullScale =
        VoltTable.at(std::size_t(std::clamp(voltPosition_, 0, int(VoltTable.size()) - 1))).FullScaleVolts;
    SetSpans({0, BlockSamples * SecondsPerSample()}, {0, fullScale});
}

QRectF TLupaPlot::TracePane() const {
    const double shared = height() - Top - 2 * AxisText - PaneGap;
    return {Left, Top, std::max(1.0, width() - Left - Right), std::max(1.0, shared * TraceShare)};
}

QRectF TLupaPlot::SpectrumPane() const {
    const QRectF trace = TracePane();
    const double top = trace.bottom() + AxisText + PaneGap;
    return {Left, top, trace.width(), std::max(1.0, height() - AxisText - top)};
}

double TLupaPlot::TimeAt(double x) const {
    const QRectF r = TracePane();
    return FromPixel(time_, x - r.left(), r.width());
}

double TLupaPlot::VoltsAt(double y) const {
    const QRectF r = TracePane();
    return FromPixel(volts_, r.bottom() - y, r.height());
}

QPointF TLupaPlot::TracePoint(double t, double v) const {
    const QRectF r = TracePane();
    return {r.left() + ToPixel(time_, t, r.width()), r.bottom() - ToPixel(volts_, v, r.height())};
}

// dBV: up to the largest sine the 0..10 V converter takes (5 V amplitude, 11 dBV) and a margin;
// relative: the largest bin at the top.
double TLupaPlot::SpectrumTop() const {
    return scale_ == DbScale::Dbv ? SpectrumHeadroom : 0;
}

QPointF TLupaPlot::SpectrumPoint(double hz, double db) const {
    const QRectF r = SpectrumPane();
    const Span f{0, spectrum_.binHz > 0 ? spectrum_.binHz * (DbBins - 1) : 1};
    const Span level{SpectrumBottom(), SpectrumTop()};
    return {r.left() + ToPixel(f, hz, r.width()),
            r.bottom() - ToPixel(level, std::clamp(db, level.lo, level.hi), r.height())};
}

QString TLupaPlot::ReadoutAt(QPointF at) const {
    const std::string sep = Separator();
    if (TracePane().contains(at))
        return Text(ReadoutText(TimeAt(at.x()), "s", sep) + "; " + ReadoutText(VoltsAt(at.y()), "V", sep));
    const QRectF s = SpectrumPane();
    if (s.contains(at) && spectrum_.binHz > 0) {
        const double hz = (at.x() - s.left()) / s.width() * spectrum_.binHz * (DbBins - 1);
        const auto bin = std::size_t(std::clamp(int(std::lround(hz / spectrum_.binHz)), 0, DbBins - 1));
        const char* unit = scale_ == DbScale::Dbv ? "dBV" : "dB";
        return Text(ReadoutText(double(bin) * spectrum_.binHz, "Hz", sep) + "; " +
                    ReadoutText(spectrum_.level[bin], unit, sep, false));
    }
    return {};
}

const QImage& TLupaPlot::Background() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (backgroundValid_ && background_.size() == pixels && background_.devicePixelRatio() == ratio)
        return background_;
    background_ = QImage(pixels, QImage::Format_RGB32);
    background_.setDevicePixelRatio(ratio);
    QPainter p(&background_);
    DrawBackground(p);
    backgroundValid_ = true;
    return background_;
}

void TLupaPlot::DrawBackground(QPainter& p) {
    p.fillRect(QRectF(0, 0, width(), height()), Paper);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(font());
    const std::string sep = Separator();
    const QRectF trace = TracePane(), levels = SpectrumPane();
    const auto gridAndText = [&](const QRectF& pane, const std::vector<AxisTick>& ticks, bool vertical,
                                 const auto& at) {
        for (const AxisTick& tick : ticks) {
            const double pos = at(tick.value);
            if (vertical) {
                p.setPen(QPen(Grid, 1));
                p.drawLine(QPointF(pos, pane.top()), QPointF(pos, pane.bottom()));
                p.setPen(Ink);
                // Centred under its mark, but kept clear of the voltage scale and the window's edge.
                const bool first = pos - pane.left() < 30, last = pane.right() - pos < 30;
                const double left = first ? pos : last ? pos - 120 : pos - 60;
                const auto align = first ? Qt::AlignLeft : last ? Qt::AlignRight : Qt::AlignHCenter;
                p.drawText(QRectF(left, pane.bottom() + 2, 120, AxisText - 2), align | Qt::AlignTop,
                           Text(tick.text));
            } else {
                p.setPen(QPen(Grid, 1));
                p.drawLine(QPointF(pane.left(), pos), QPointF(pane.right(), pos));
                p.setPen(Ink);
                p.drawText(QRectF(0, pos - 10, pane.left() - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                           Text(tick.text));
            }
        }
    };
    gridAndText(trace, AxisTicks(time_.lo, time_.hi, time_.Width() * TickSpacingX / trace.width(), "s", sep),
                true, [&](double t) { return TracePoint(t, 0).x(); });
    gridAndText(trace,
                AxisTicks(volts_.lo, volts_.hi, volts_.Width() * TickSpacingY / trace.height(), "V", sep),
                false, [&](double v) { return TracePoint(0, v).y(); });
    const double nyquist = spectrum_.binHz * (DbBins - 1);
    if (nyquist > 0)
        gridAndText(levels, AxisTicks(0, nyquist, nyquist * TickSpacingX / levels.width(), "Hz", sep), true,
                    [&](double hz) { return SpectrumPoint(hz, 0).x(); });
    const double span = SpectrumTop() - SpectrumBottom();
    gridAndText(levels,
                AxisTicks(SpectrumBottom(), SpectrumTop(), span * TickSpacingY / levels.height(),
                          scale_ == DbScale::Dbv ? "dBV" : "dB", sep, false),
                false, [&](double db) { return SpectrumPoint(0, db).y(); });
    p.setPen(QPen(Ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(trace);
    p.drawRect(levels);
}

void TLupaPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(QPointF(0, 0), Background());
    p.setRenderHint(QPainter::Antialiasing);
    DrawTraces(p);
    DrawSpectrum(p);
    DrawOverlay(p);
}

void TLupaPlot::DrawTraces(QPainter& p) {
    const QRectF pane = TracePane();
    p.save();
    p.setClipRect(pane);
    // The samples in view and one beyond each side, so the line runs to the edges.
    const auto trace = [&](const auto& volts, double dt, const QColor& color) {
        const int first = std::max(0, int(std::floor(time_.lo / dt)) - 1);
        const int last = std::min(BlockSamples - 1, int(std::ceil(time_.hi / dt)) + 1);
        if (first > last)
            return;
        QPolygonF line;
        line.reserve(last - first + 1);
        for (int i = first; i <= last; ++i)
            line << TracePoint(i * dt, volts(i));
        p.setPen(Hairline(color));
        p.drawPolyline(line);
    };
    if (reference_)
        trace([&](int i) { return reference_->samples[std::size_t(i)] * VoltsPerStep; },
              ::SecondsPerSample(reference_->timebase), ReferenceColor);
    trace([&](int i) { return block_[std::size_t(i)]; }, SecondsPerSample(), TraceColor);
    p.restore();
    p.setPen(Ink);
    p.drawText(QRectF(pane.left(), 0, pane.width() / 2, Top), Qt::AlignLeft | Qt::AlignVCenter, caption_);
    if (reference_) {
        p.setPen(ReferenceColor);
        p.drawText(QRectF(pane.center().x(), 0, pane.width() / 2, Top), Qt::AlignRight | Qt::AlignVCenter,
                   ReferenceCaption(*reference_));
    }
}

void TLupaPlot::DrawSpectrum(QPainter& p) {
    if (spectrum_.binHz <= 0)
        return;
    const QRectF pane = SpectrumPane();
    p.save();
    p.setClipRect(pane);
    QPolygonF line;
    line.reserve(DbBins);
    for (int k = 0; k < DbBins; ++k)
        line << SpectrumPoint(k * spectrum_.binHz, spectrum_.level[std::size_t(k)]);
    p.setPen(Hairline(SpectrumColor));
    p.drawPolyline(line);
    const double floorY = SpectrumPoint(0, spectrum_.noiseFloor).y();
    QPen floorPen = Hairline(FloorColor);
    floorPen.setStyle(Qt::DashLine);
    p.setPen(floorPen);
    p.drawLine(QPointF(pane.left(), floorY), QPointF(pane.right(), floorY));
    p.restore();

    const std::string sep = Separator();
    const char* unit = scale_ == DbScale::Dbv ? "dBV" : "dB";
    QStringList lines;
    for (std::size_t i = 0; i < spectrum_.peaks.size(); ++i) {
        const SpectrumPeak& peak = spectrum_.peaks[i];
        const QPointF at = SpectrumPoint(peak.frequency, peak.level);
        p.setPen(Hairline(PeakColor));
        p.drawEllipse(at, 4, 4);
        p.drawText(at + QPointF(6, -4), QString::number(i + 1));
        lines << QStringLiteral("%1: %2  %3")
                     .arg(i + 1)
                     .arg(Text(ReadoutText(peak.frequency, "Hz", sep)),
                          Text(ReadoutText(peak.level, unit, sep, false)));
    }
    lines << QStringLiteral("szum: %1").arg(Text(ReadoutText(spectrum_.noiseFloor, unit, sep, false)));
    const QRectF box(pane.right() - 200, pane.top() + 4, 196, 18.0 * double(lines.size()) + 6);
    p.fillRect(box, QColor(255, 255, 255, 220));
    p.setPen(Ink);
    p.drawText(box.adjusted(6, 3, -6, -3), Qt::AlignLeft | Qt::AlignTop, lines.join(QLatin1Char('\n')));
}

void TLupaPlot::DrawOverlay(QPainter& p) {
    if (drag_ == Drag::Rectangle) {
        p.setPen(QPen(Ink, 1, Qt::DashLine));
        p.setBrush(QColor(0, 70, 200, 30));
        p.drawRect(QRectF(pressAt_, pointer_).normalized().intersected(TracePane()));
        p.setBrush(Qt::NoBrush);
    }
    if (!pointerInside_)
        return;
    const QString text = ReadoutAt(pointer_);
    if (text.isEmpty())
        return;
    const QRectF bounds = p.fontMetrics().boundingRect(text).adjusted(-4, -2, 4, 2);
    QRectF box = bounds.translated(pointer_ + QPointF(14, -8) - bounds.bottomLeft());
    if (box.right() > width())
        box.moveRight(pointer_.x() - 8);
    if (box.top() < 0)
        box.moveTop(pointer_.y() + 16);
    p.fillRect(box, QColor(255, 255, 230, 235));
    p.setPen(Ink);
    p.drawText(box, Qt::AlignCenter, text);
}

void TLupaPlot::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0 || !TracePane().contains(e->position()))
        return QWidget::wheelEvent(e);
    const double factor = std::pow(ZoomPerNotch, notches);
    if (e->modifiers() & Qt::ControlModifier)
        ZoomVolts(VoltsAt(e->position().y()), factor);
    else
        ZoomTime(TimeAt(e->position().x()), factor);
    e->accept();
}

void TLupaPlot::mousePressEvent(QMouseEvent* e) {
    if (!TracePane().contains(e->position()))
        return;
    pressAt_ = pointer_ = e->position();
    pressTime_ = time_;
    pressVolts_ = volts_;
    const bool rectangle = e->button() == Qt::RightButton ||
                           (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
    drag_ = rectangle ? Drag::Rectangle : e->button() == Qt::LeftButton ? Drag::Pan : Drag::None;
}

void TLupaPlot::mouseMoveEvent(QMouseEvent* e) {
    pointer_ = e->position();
    pointerInside_ = true;
    if (drag_ == Drag::Pan) {
        const QRectF r = TracePane();
        const QPointF moved = pointer_ - pressAt_;
        SetSpans(PanBy(pressTime_, -moved.x() / r.width() * pressTime_.Width(), TimeLimit()),
                 PanBy(pressVolts_, moved.y() / r.height() * pressVolts_.Width(), VoltLimit()));
    }
    update();
}

void TLupaPlot::mouseReleaseEvent(QMouseEvent* e) {
    pointer_ = e->position();
    if (drag_ == Drag::Rectangle) {
        const QRectF r = QRectF(pressAt_, pointer_).normalized().intersected(TracePane());
        // A narrow band zooms one axis only; a click zooms nothing.
        const bool wide = r.width() >= 4, tall = r.height() >= 4;
        SetSpans(wide ? Between(TimeAt(r.left()), TimeAt(r.right()), TimeLimit(),
                                LeastSamples * SecondsPerSample())
                      : time_,
                 tall ? Between(VoltsAt(r.bottom()), VoltsAt(r.top()), VoltLimit(), LeastVolts) : volts_);
    }
    drag_ = Drag::None;
    update();
}

void TLupaPlot::mouseDoubleClickEvent(QMouseEvent*) {
    ShowWhole();
}

void TLupaPlot::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Home && e->modifiers() == Qt::NoModifier)
        return ShowWhole();
    QWidget::keyPressEvent(e);
}

void TLupaPlot::leaveEvent(QEvent*) {
    pointerInside_ = false;
    update();
}
