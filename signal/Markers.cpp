#include "Markers.h"

#include "NumberText.h"
#include "Samples.h"
#include "ScreenGeometry.h"

#include <algorithm>
#include <cstdlib>

MarkerItems PlaceMarker(Markers& m, Marker which, int x, const SampleBuffer& samples, const VoltRange& volt,
                        const TimeBase& time, const std::string& sep, int positionMv) {
    int& column = which == Marker::A ? m.MarkerAX : m.MarkerBX;
    int& height = which == Marker::A ? m.MarkerAHeight : m.MarkerBHeight;
    int& shown = which == Marker::A ? m.MarkerAShown : m.MarkerBShown;
    column = x;
    // Columns come limited to 0..500 or from a click inside the view; never read past the buffer.
    const auto word = samples[size_t(std::clamp(x, 0, int(samples.size()) - 1))];
    height = SampleToRow(word, Rounding::Nearest, volt.MvPerRow, positionMv);
    shown = std::clamp(height, 0, screen::TimeRows);

    MarkerItems items{};
    items.markerLeft = screen::MarkerPictureLeft(x);
    items.levelTop = screen::RowY(shown) - 1; // the level picture's line is its middle row
    const int dx = std::abs(m.MarkerBX - m.MarkerAX);
    const int dy = std::abs(m.MarkerBShown - m.MarkerAShown);
    items.labelYText = NumberText(std::abs(m.MarkerBHeight - m.MarkerAHeight) * volt.VoltsPerRow, "V", sep);
    items.barXWidth = dx;
    items.barXLeft = screen::ColumnX(std::min(m.MarkerAX, m.MarkerBX));
    items.barYHeight = dy;
    items.barYTop = screen::TimeViewRect.bottom - std::min(m.MarkerAShown, m.MarkerBShown) - dy;
    items.labelXLeft = std::min(m.MarkerAX, m.MarkerBX) + dx / 2 + 10;
    items.labelXText = NumberText(dx * time.TimePerPixel, time.TimeUnit, sep);
    items.labelYTop = screen::TimeViewRect.bottom - 7 - std::max(m.MarkerAShown, m.MarkerBShown) + dy / 2;
    return items;
}

Extremes FindExtremes(const SampleBuffer& samples) {
    Extremes e{0, 0};
    for (int i = 1; i < screen::Columns; ++i) {
        if (samples[size_t(i)] < samples[size_t(e.min)])
            e.min = i;
        if (samples[size_t(i)] > samples[size_t(e.max)])
            e.max = i;
    }
    return e;
}

std::string PointerTimeText(int x, const TimeBase& time, const std::string& sep) {
    return NumberText(x * time.TimePerPixel, time.TimeUnit, sep);
}

std::string PointerVoltText(int y, const VoltRange& volt, const std::string& sep, int positionMv) {
    return NumberText((screen::TimeRows - y) * volt.VoltsPerRow + positionMv / 1000.0, "V", sep);
}
