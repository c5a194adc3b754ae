#include "TraceDrawing.h"

#include "ScaleGeometry.h"
#include "ScreenGeometry.h"

#include <algorithm>

void DrawTrace(Canvas& view, const SampleBuffer& samples, Rounding rounding, int mvPerRow, int positionMv) {
    const auto row = [&](int i) {
        return SampleToRow(samples[std::size_t(i)], rounding, mvPerRow, positionMv);
    };
    view.MoveTo(0, screen::HighestRow - row(0));
    for (int i = 1; i + 1 < screen::Columns; ++i)
        view.LineTo(i + 1, screen::HighestRow - row(i));
}

void DrawProgressiveTrace(Canvas& window, const SampleBuffer& samples, int rxLength, Rounding rounding,
                          int mvPerRow, int positionMv) {
    // The window below the view is not the trace's: a position may put samples there.
    const auto row = [&](int j) {
        return std::clamp(SampleToRow(samples[std::size_t(j)], rounding, mvPerRow, positionMv), 0,
                          screen::HighestRow);
    };
    window.MoveTo(screen::ColumnX(0), screen::RowY(row(0)));
    const int n = rxLength / 2 - 2;
    for (int j = 1; j <= n && j < int(samples.size()); ++j)
        window.LineTo(screen::ColumnX(j + 1), screen::RowY(row(j)));
}

void DrawSpectrumLines(Canvas& view, const Spectrum& spectrum, int divisor, bool filled) {
    const auto height = [&](int k) { return spectrum[std::size_t(k)] / divisor; };
    const int zero = screen::SpectrumRows - 1;
    view.MoveTo(0, zero - height(0));
    for (int k = 1; k < screen::Columns; ++k) {
        if (filled) {
            view.MoveTo(k, zero);
            view.LineTo(k, zero - height(k));
        } else {
            view.LineTo(k, zero - height(k));
        }
    }
}

void DrawTickMarks(Canvas& window, int width) {
    window.PenColor = Qt::black;
    window.PenWidth = width;
    for (const Segment& t : ScreenTickMarks()) {
        window.MoveTo(t.x0, t.y0);
        window.LineTo(t.x1, t.y1);
    }
}
