#include "ViewPosition.h"

#include "SampleBuffer.h"
#include "Samples.h"
#include "ScreenGeometry.h"
#include "TriggerLevel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MvPerStep = VoltsPerStep * 1000; // one step of the converter

} // namespace

int ClampPosition(int positionMv, int mvPerRow, double fullScaleVolts) {
    const int highest = std::max(0, InstrumentTopMv - int(std::lround(fullScaleVolts * 1000)));
    const int rows = int(std::lround(double(std::clamp(positionMv, 0, highest)) / mvPerRow));
    return std::min(rows, highest / mvPerRow) * mvPerRow;
}

int DivisionMv(int mvPerRow) {
    return screen::Division * mvPerRow;
}

int LevelAtRow(int row, int mvPerRow, int positionMv) {
    const double mv = positionMv + double(row) * mvPerRow;
    return std::clamp(int(std::lround(mv / MvPerStep)), MinTriggerLevel, MaxTriggerLevel);
}

OutOfView TraceOutOfView(const SampleBuffer& samples, int count, int mvPerRow, int positionMv) {
    OutOfView out;
    if (count <= 0)
        return out;
    const auto [low, high] =
        std::minmax_element(samples.begin(), samples.begin() + std::min<int>(count, int(samples.size())));
    const auto volts = [](std::uint16_t sample) { return std::round(sample * MvPerStep / 10) / 100; };
    const auto row = [&](std::uint16_t sample) {
        return SampleToRow(sample, Rounding::Nearest, mvPerRow, positionMv);
    };
    // Partly out: how far it goes; wholly out: where it begins, the distance to bring it in.
    if (row(*high) > screen::HighestRow)
        out.aboveVolts = volts(row(*low) > screen::HighestRow ? *low : *high);
    if (row(*low) < 0)
        out.belowVolts = volts(row(*high) < 0 ? *high : *low);
    return out;
}
