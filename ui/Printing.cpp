#include "Printing.h"

#include "NumberText.h"
#include "Samples.h"
#include "ScaleGeometry.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

int PrintScale(int pageWidth) {
    return pageWidth / 500;
}

namespace {

class Page {
  public:
    Page(QPainter& p, int scale) : p_(p), s_(scale) {}

    void Pen(int width) { p_.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin)); }
    void Line(int x0, int y0, int x1, int y1) { p_.drawLine(x0 * s_, y0 * s_, x1 * s_, y1 * s_); }
    void Font(int height) {
        QFont f = p_.font();
        f.setPixelSize(height * s_);
        p_.setFont(f);
    }
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

} // namespace

void PrintViews(QPainter& painter, int pageWidth, const PrintInputs& in) {
    Page page(painter, PrintScale(pageWidth));
    const int s = page.Scale();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::white);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);

    const auto grid = [&](int top, int bottom, int longFirst, int longStep, int lineFoot) {
        for (const Segment& l : PrintGrid(top, bottom, longFirst, longStep, lineFoot))
            page.Line(l.x0, l.y0, l.x1, l.y1);
    };
    page.Pen(in.LW); // device pixels, not scaled
    grid(30, 280, 30, 25, 286);
    painter.drawRect(QRect(QPoint(30 * s, 345 * s), QPoint(530 * s, 470 * s)));
    grid(345, 470, 350, 40, 475);

    page.Pen(3); // the spectrum, always as a line
    QPolygon spectrum;
    for (int i = 0; i < 500; ++i)
        spectrum << QPoint((30 + i) * s, (470 - (*in.spectrum)[size_t(i)] / in.SpectrumDivisor) * s);
    painter.drawPolyline(spectrum);

    page.Pen(1);
    page.Line(30, 30, 30, 280);
    page.Line(30, 280, 530, 280);

    page.Pen(3); // every sample; rows not limited
    QPolygon trace;
    const auto row = [&](int i) {
        return SampleToRow((*in.samples)[size_t(i)], Rounding::Nearest, in.MvPerRow);
    };
    trace << QPoint(30 * s, (280 - row(0)) * s);
    for (int i = 1; i <= 499; ++i)
        trace << QPoint((31 + i) * s, (280 - row(i)) * s);
    painter.drawPolyline(trace);

    page.Pen(1);
    const std::string sep = in.decimalSeparator.toStdString();
    page.Font(8);
    for (int i = 0; i <= 10; ++i) {
        const double volts = in.FullScaleVolts - in.FullScaleVolts * i / 10;
        page.Text(10 * s, (26 + 25 * i) * s, QString::fromStdString(NumberText(volts, "V", sep)));
    }

    page.Font(12);
    const QString timeTitle = QStringLiteral("Przebieg czasowy");
    const QString spectrumTitle = QStringLiteral("Analiza częstotliwości");
    page.Text((pageWidth - page.Width(timeTitle)) / 2, 5 * s, timeTitle);
    page.Text((pageWidth - page.Width(spectrumTitle)) / 2, 300 * s + page.Height(), spectrumTitle);

    page.Font(10);
    const int centres[] = {30, 155, 280, 405, 530};
    for (int i = 0; i < 5; ++i) {
        page.Text(centres[i] * s - page.Width(in.timeLabels[size_t(i)]) / 2, 290 * s,
                  in.timeLabels[size_t(i)]);
        page.Text(centres[i] * s - page.Width(in.freqLabels[size_t(i)]) / 2, 480 * s,
                  in.freqLabels[size_t(i)]);
    }
    for (int i = 0; i < 4; ++i)
        page.Text(22 * s - page.Width(in.percentLabels[size_t(i)]), (346 + 40 * i) * s,
                  in.percentLabels[size_t(i)]);
}
