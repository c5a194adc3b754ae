#include "TraceDrawing.h"

#include "ScaleGeometry.h"

#include <algorithm>

void DrawTrace(Canvas& overlay, const SampleBuffer& samples, Rounding rounding, int mvPerRow) {
    overlay.MoveTo(0, 249 - SampleToRow(samples[0], rounding, mvPerRow));
    for (int i = 1; i <= 498; ++i)
        overlay.LineTo(i + 1, 249 - SampleToRow(samples[std::size_t(i)], rounding, mvPerRow));
}

void DrawProgressiveTrace(Canvas& window, const SampleBuffer& samples, int rxLength, Rounding rounding,
                          int mvPerRow) {
    const auto row = [&](int j) {
        return std::min(SampleToRow(samples[std::size_t(j)], rounding, mvPerRow), 249);
    };
    window.MoveTo(30, 279 - row(0));
    const int n = rxLength / 2 - 2;
    for (int j = 1; j <= n && j < int(samples.size()); ++j)
        window.LineTo(30 + j + 1, 279 - row(j));
}

void DrawSpectrumOverlay(Canvas& overlay, const Spectrum& spectrum, int divisor, bool filled) {
    overlay.Fill();
    const auto height = [&](int k) { return spectrum[std::size_t(k)] / divisor; };
    overlay.MoveTo(0, 124 - height(0));
    for (int k = 1; k < 500; ++k) {
        if (filled) {
            overlay.MoveTo(k, 124);
            overlay.LineTo(k, 124 - height(k));
        } else {
            overlay.LineTo(k, 124 - height(k));
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
