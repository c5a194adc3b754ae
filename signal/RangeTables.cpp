#include "RangeTables.h"

#include "NumberText.h"

const std::array<VoltRow, 4> VoltTable{{
    {"1V", 10, 40, 10, 0.04},
    {"0,5V", 5, 20, 5, 0.02},
    {"0,2V", 2, 8, 2, 0.008},
    {"0,1V", 1, 4, 1, 0.004},
}};

const std::array<TimebaseRow, 16> TimebaseTable{{
    {"0,1ms", 0.004, {"0,5ms", "1ms", "1,5ms", "2ms"}, {"0kHz", "12,5kHz", "25kHz", "37,5kHz", "50kHz"}},
    {"0,2ms", 0.008, {"1ms", "2ms", "3ms", "4ms"}, {"0kHz", "6,25kHz", "12,5kHz", "18,75kHz", "25kHz"}},
    {"0,5ms", 0.02, {"2,5ms", "5ms", "7,5ms", "10ms"}, {"0kHz", "2,5kHz", "5kHz", "7,5kHz", "10kHz"}},
    {"1ms", 0.04, {"5ms", "10ms", "15ms", "20ms"}, {"0kHz", "1,25kHz", "2,5kHz", "3,75kHz", "5kHz"}},
    {"2ms", 0.08, {"10ms", "20ms", "30ms", "40ms"}, {"0Hz", "625Hz", "1,25kHz", "1,875kHz", "2,5kHz"}},
    {"5ms", 0.2, {"25ms", "50ms", "75ms", "100ms"}, {"0Hz", "250Hz", "500Hz", "750Hz", "1000Hz"}},
    {"10ms", 0.4, {"50ms", "0,1s", "0,15s", "0,2s"}, {"0kHz", "125Hz", "250Hz", "375Hz", "500Hz"}},
    {"20ms", 0.8, {"0,1s", "0,2s", "0,3s", "0,4s"}, {"0kHz", "62,5Hz", "125Hz", "187,5Hz", "250Hz"}},
    {"50ms", 2, {"0,25s", "0,5s", "0,75s", "1s"}, {"0kHz", "25Hz", "50Hz", "75Hz", "100Hz"}},
    {"0,1s", 4, {"0,5s", "1s", "1,5s", "2s"}, {"0kHz", "12,5Hz", "25Hz", "37,5Hz", "50Hz"}},
    {"0,2s", 8, {"1s", "2s", "3s", "4s"}, {"0kHz", "6,25Hz", "12,5Hz", "18,75Hz", "25Hz"}},
    {"0,5s", 20, {"2,5s", "5s", "7,5s", "10s"}, {"0kHz", "2,5Hz", "5Hz", "7,5Hz", "10Hz"}},
    {"1s", 40, {"5s", "10s", "15s", "20s"}, {"0kHz", "1,25Hz", "2,5Hz", "3,75Hz", "5Hz"}},
    {"2s", 80, {"10s", "20s", "30s", "40s"}, {"0kHz", "0,625Hz", "1,25Hz", "1,875Hz", "2,5Hz"}},
    {"5s", 200, {"25s", "50s", "75s", "100s"}, {"0kHz", "0,25Hz", "0,5Hz", "0,75Hz", "1Hz"}},
    {"10s", 400, {"50s", "100s", "150s", "200s"}, {"0kHz", "0,125Hz", "0,25Hz", "0,375Hz", "0,5Hz"}},
}};

std::array<std::string, 11> VoltLabelTexts(double fullScaleVolts, const std::string& decimalSeparator,
                                           int positionMv) {
    static constexpr double fractions[] = {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1};
    const double bottom = positionMv / 1000.0;
    std::array<std::string, 11> texts;
    texts[0] = NumberText(bottom + fullScaleVolts, "V", decimalSeparator);
    for (int i = 0; i < 9; ++i)
        texts[size_t(i) + 1] = NumberText(bottom + fullScaleVolts * fractions[i], "V", decimalSeparator);
    texts[10] = NumberText(bottom, "V", decimalSeparator);
    return texts;
}

TimeBase TimeBaseAt(int position) {
    TimeBase t;
    t.TimePerPixel = TimebaseTable[size_t(position)].TimePerPixelMs;
    if (position < 6) {
        t.TimeUnit = "ms";
    } else {
        t.TimeUnit = "s";
        t.TimePerPixel = t.TimePerPixel / 1000;
    }
    return t;
}

double SecondsPerSample(int position) {
    return TimebaseTable.at(std::size_t(position)).TimePerPixelMs / 1000;
}

AxisLabels AxisLabelTexts(int position) {
    const auto& row = TimebaseTable[size_t(position)];
    AxisLabels labels;
    labels.time[0] = "0ms";
    for (size_t i = 0; i < 4; ++i)
        labels.time[i + 1] = row.T[i];
    for (size_t i = 0; i < 5; ++i)
        labels.frequency[i] = row.F[i];
    return labels;
}
