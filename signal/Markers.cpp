#include "Markers.h"

#include "NumberText.h"
#include "Samples.h"

#include <algorithm>
#include <cstdlib>

MarkerItems PlaceMarker(Markers& m, Marker which, int x, const SampleBuffer& samples, const VoltRange& volt,
                        const TimeBase& time, const std::string& sep) {
    int& column = which == Marker::A ? m.MarkerAX : m.MarkerBX;
    int& height = which == Marker::A ? m.MarkerAHeight : m.MarkerBHeight;
    int& shown = which == Marker::A ? m.MarkerAShown : m.MarkerBShown;
    column = x;
    // Columns come limited to 0..500 or from a click inside the view; never read past the buffer.
    const auto word = samples[size_t(std::clamp(x, 0, int(samples.size()) - 1))];
    height = SampleToRow(word, Rounding::Nearest, volt.MvPerRow);
    shown = std::min(height, 250);

    MarkerItems items{};
    items.markerLeft = x + 26;
    items.levelTop = 278 - shown;
    const int dx = std::abs(m.MarkerBX - m.MarkerAX);
    const int dy = std::abs(m.MarkerBShown - m.MarkerAShown);
    items.labelYText = NumberText(std::abs(m.MarkerBHeight - m.MarkerAHeight) * volt.VoltsPerRow, "V", sep);
    items.barXWidth = dx;
    items.barXLeft = std::min(m.MarkerAX, m.MarkerBX) + 30;
    items.barYHeight = dy;
    items.barYTop = 280 - std::min(m.MarkerAShown, m.MarkerBShown) - dy;
    items.labelXLeft = std::min(m.MarkerAX, m.MarkerBX) + dx / 2 + 10;
    items.labelXText = NumberText(dx * time.TimePerPixel, time.TimeUnit, sep);
    items.labelYTop = 273 - std::max(m.MarkerAShown, m.MarkerBShown) + dy / 2;
    return items;
}

Extremes FindExtremes(const SampleBuffer& samples) {
    Extremes e{0, 0};
    for (int i = 1; i < 500; ++i) {
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

std::string PointerVoltText(int y, const VoltRange& volt, const std::string& sep) {
    return NumberText((250 - y) * volt.VoltsPerRow, "V", sep);
}
