#include "ViewPosition.h"

#include "Samples.h"
#include "ScreenGeometry.h"
#include "TriggerLevel.h"

#include <algorithm>
#include <cmath>

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
    return std::clamp(int(std::lround(mv / 9.765625)), MinTriggerLevel, MaxTriggerLevel);
}

OutOfView TraceOutOfView(const SampleBuffer& samples, int count, int mvPerRow, int positionMv) {
    OutOfView out;
    if (count <= 0)
        return out;
    const auto [low, high] =
        std::minmax_element(samples.begin(), samples.begin() + std::min<int>(count, int(samples.size())));
    const auto volts = [](std::uint16_t sample) { return std::round(sample * 9.765625 / 10) / 100; };
    if (SampleToRow(*high, Rounding::Nearest, mvPerRow, positionMv) > screen::HighestRow)
        out.aboveVolts = volts(*high);
    if (SampleToRow(*low, Rounding::Nearest, mvPerRow, positionMv) < 0)
        out.belowVolts = volts(*low);
    return out;
}
