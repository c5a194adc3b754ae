#include "Printing.h"

#include "Controls.h"
#include "NumberText.h"
#include "Samples.h"
#include "ScaleGeometry.h"
#include "ScreenGeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

namespace {

// A font whose cell (ascent plus descent) is `height` device pixels: a printed font
// height counts the whole cell, as the printer's drawing surface measures it.
QFont CellFont(int height, QPaintDevice* device) {
    QFont f = SerifFont(height);
    const qreal cell = QFontMetricsF(f, device).height();
    f.setPixelSize(std::max(1, int(height * height / cell)));
    return f;
}

// Where the drawing reaches at a scale, in device pixels: the left edge of its
// leftmost text, its right edge and its bottom.
struct Extent {
    int left, right, bottom;
};

Extent DrawingExtent(QPaintDevice* device, int s, const PrintInputs& in) {
    const QFontMetrics labels(CellFont(10 * s, device), device);
    Extent e{10 * s, screen::TimeViewRect.right * s + 2,
             480 * s + labels.height()}; // the widest pen reaches 2 pixels past
    for (const QString& t : in.percentLabels)
        e.left = std::min(e.left, 22 * s - labels.horizontalAdvance(t));
    for (const QString& t : {in.timeLabels[4], in.freqLabels[4]}) { // centred on the last grid line
        const int w = labels.horizontalAdvance(t);
        e.right = std::max(e.right, screen::TimeViewRect.right * s - w / 2 + w);
    }
    return e;
}

struct Placement {
    int scale;
    int shift; // to the right, should a font's text reach left of the page
};

// The largest scale at which the whole drawing is on the page. The page width div 500
// fits only by luck: the drawing is wider than 500 units (the grid ends at 530, a label
// is centred there).
Placement Fit(QPaintDevice* device, QSize page, const PrintInputs& in) {
    for (int s = std::max(1, page.width() / screen::Columns);; --s) {
        const Extent e = DrawingExtent(device, s, in);
        const int shift = std::max(0, -e.left);
        if (s == 1 || (e.right + shift <= page.width() && e.bottom <= page.height()))
            return {s, shift};
    }
}

class Page {
  public:
    Page(QPainter& p, int scale) : p_(p), s_(scale) {}

    void Pen(int width) { p_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin)); }
    void Line(int x0, int y0, int x1, int y1) { p_.drawLine(x0 * s_, y0 * s_, x1 * s_, y1 * s_); }
    void Font(int height) { p_.setFont(CellFont(height * s_, p_.device())); }
    int Width(const QString& t) const { return QFontMetrics(p_.font(), p_.device()).horizontalAdvance(t); }
    int Height() const { return QFontMetrics(p_.font(), p_.device()).height(); }
    // Text by its top-left corner in device pixels, on an opaque white background.
    void Text(int left, int top, const QString& t) {
        p_.drawText(QRect(left, top, Width(t), Height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, t);
    }
    int Scale() const { return s_; }
    QPainter& Painter() { return p_; }

  private:
    QPainter& p_;
    int s_;
};

// The grids in the pen width of the settings, in device pixels (not scaled).
void DrawGrids(Page& page, const PrintInputs& in) {
    const int s = page.Scale();
    const auto grid = [&](int top, int bottom, int longFirst, int longStep, int lineFoot) {
        for (const Segment& l : PrintGrid(top, bottom, longFirst, longStep, lineFoot))
            page.Line(l.x0, l.y0, l.x1, l.y1);
    };
    page.Pen(in.LW);
    const screen::Rect& t = screen::TimeViewRect;
    grid(t.top, t.bottom, t.top, screen::Division, t.bottom + screen::LongTickBelow);
    const int spectrumTop = screen::SpectrumViewRect.top - 1;
    const int spectrumLast = screen::SpectrumLastY;
    page.Painter().drawRect(
        QRect(QPoint(t.left * s, spectrumTop * s), QPoint(t.right * s, spectrumLast * s)));
    // The lines reach down to where the window's short ticks under the spectrum end.
    grid(spectrumTop, spectrumLast, spectrumLast - 3 * screen::SpectrumScaleStep, screen::SpectrumScaleStep,
         screen::SpectrumViewRect.bottom + 1 + screen::ShortTickBelow);
}

void DrawCurves(Page& page, const PrintInputs& in) {
    const int s = page.Scale();
    const screen::Rect& t = screen::TimeViewRect;
    page.Pen(3); // the spectrum, always as a line
    QPolygon spectrum;
    for (int i = 0; i < screen::Columns; ++i)
        spectrum << QPoint(screen::ColumnX(i) * s,
                           (screen::SpectrumLastY - (*in.spectrum)[size_t(i)] / in.SpectrumDivisor) * s);
    page.Painter().drawPolyline(spectrum);

    page.Pen(1);
    page.Line(t.left, t.top, t.left, t.bottom);
    page.Line(t.left, t.bottom, t.right, t.bottom);

    page.Pen(3); // every sample; rows not limited
    QPolygon trace;
    const auto row = [&](int i) {
        return SampleToRow((*in.samples)[size_t(i)], Rounding::Nearest, in.MvPerRow, in.PositionMv);
    };
    // A view moved from 0 V keeps what it left out off the spectrum's half of the page.
    if (in.PositionMv != 0)
        page.Painter().setClipRect(QRect(QPoint(t.left * s, t.top * s), QPoint(t.right * s, t.bottom * s)));
    trace << QPoint(t.left * s, (t.bottom - row(0)) * s);
    for (int i = 1; i < screen::Columns; ++i)
        trace << QPoint(screen::ColumnX(i + 1) * s, (t.bottom - row(i)) * s);
    page.Painter().drawPolyline(trace);
    page.Painter().setClipping(false);
}

void DrawLabels(Page& page, const PrintInputs& in, int pageWidth, int shift) {
    const int s = page.Scale();
    page.Pen(1);
    const std::string sep = in.decimalSeparator.toStdString();
    page.Font(8);
    for (int i = 0; i <= 10; ++i) {
        const double volts = in.PositionMv / 1000.0 + (in.FullScaleVolts - in.FullScaleVolts * i / 10);
        page.Text(10 * s, (screen::TimeViewRect.top - 4 + screen::Division * i) * s,
                  QString::fromStdString(NumberText(volts, "V", sep)));
    }

    page.Font(12);
    const QString timeTitle = QStringLiteral("Przebieg czasowy");
    const QString spectrumTitle = QStringLiteral("Analiza częstotliwości");
    // Centred on the page, whatever the shift.
    page.Text((pageWidth - page.Width(timeTitle)) / 2 - shift, 5 * s, timeTitle);
    page.Text((pageWidth - page.Width(spectrumTitle)) / 2 - shift, 300 * s + page.Height(), spectrumTitle);

    page.Font(10);
    for (int i = 0; i < 5; ++i) {
        const int centre = screen::ColumnX(i * screen::Columns / 4); // on every fifth grid line
        page.Text(centre * s - page.Width(in.timeLabels[size_t(i)]) / 2, 290 * s, in.timeLabels[size_t(i)]);
        page.Text(centre * s - page.Width(in.freqLabels[size_t(i)]) / 2, 480 * s, in.freqLabels[size_t(i)]);
    }
    for (int i = 0; i < 4; ++i)
        page.Text(22 * s - page.Width(in.percentLabels[size_t(i)]),
                  (screen::SpectrumViewRect.top + screen::SpectrumScaleStep * i) * s,
                  in.percentLabels[size_t(i)]);
}

} // namespace

void PrintViews(QPainter& painter, QSize pageSize, const PrintInputs& in) {
    const Placement placed = Fit(painter.device(), pageSize, in);
    Page page(painter, placed.scale);
    painter.translate(placed.shift, 0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::white);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    DrawGrids(page, in);
    DrawCurves(page, in);
    DrawLabels(page, in, pageSize.width(), placed.shift);
}
