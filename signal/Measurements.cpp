#include "Measurements.h"

#include "NumberText.h"
#include "RangeTables.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A crossing of the mean level, in samples from the block's start.
struct Crossing {
    double at;
    bool rising;
};

// Crossings of the mean level, each counted only once the signal has gone on
// to `band` beyond the mean on the other side, so noise riding on a slow edge
// is not counted as more edges. The time is where the straight line between
// the two samples around the mean level meets it.
std::vector<Crossing> CrossingsOf(const SampleBuffer& s, double mean, double band) {
    std::vector<Crossing> out;
    int state = 0;                      // -1 low, +1 high, 0 not yet known
    int lastBelow = -1, lastAbove = -1; // latest sample below / at or above the mean
    const auto at = [&](int j) { return j + (mean - s[j]) / (double(s[j + 1]) - s[j]); };
    for (int i = 0; i < BlockSamples; ++i) {
        const double v = s[std::size_t(i)];
        (v < mean ? lastBelow : lastAbove) = i;
        if (v >= mean + band && state != 1) {
            if (state == -1)
                out.push_back({at(lastBelow), true});
            state = 1;
        } else if (v <= mean - band && state != -1) {
            if (state == 1)
                out.push_back({at(lastAbove), false});
            state = -1;
        }
    }
    return out;
}

} // namespace

Measurements Measure(const SampleBuffer& samples, int timebase) {
    const double secondsPerSample = SecondsPerSample(timebase);
    const auto first = samples.begin(), last = samples.begin() + BlockSamples;
    const auto [lo, hi] = std::minmax_element(first, last);
    double sum = 0, squares = 0;
    for (auto it = first; it != last; ++it) {
        sum += *it;
        squares += double(*it) * *it;
    }
    const double mean = sum / BlockSamples;

    Measurements m;
    m.Vmin = *lo * VoltsPerStep;
    m.Vmax = *hi * VoltsPerStep;
    m.Vpp = m.Vmax - m.Vmin;
    m.Mean = mean * VoltsPerStep;
    m.Rms = std::sqrt(squares / BlockSamples) * VoltsPerStep;

    // 5 % of the swing stops noise on the signal from adding edges, and at
    // least 2 steps keeps the flicker of the converter's last step on a level
    // from reading as a signal.
    const double band = std::max(0.05 * (*hi - *lo), 2.0);
    const std::vector<Crossing> crossings = CrossingsOf(samples, mean, band);
    const auto rising = std::count_if(crossings.begin(), crossings.end(), [](auto c) { return c.rising; });
    const auto falling = std::ptrdiff_t(crossings.size()) - rising;
    // Whole periods between the first and the last crossing of one direction,
    // the direction with more of them.
    const bool direction = rising >= falling;
    const auto periods = (direction ? rising : falling) - 1;
    if (periods < 1)
        return m;
    const auto isEdge = [&](const Crossing& c) { return c.rising == direction; };
    const auto begin = std::find_if(crossings.begin(), crossings.end(), isEdge);
    const auto end = std::find_if(crossings.rbegin(), crossings.rend(), isEdge).base() - 1;
    const double span = end->at - begin->at;
    double high = 0; // time above the mean level within the span
    for (auto c = begin; c != end; ++c)
        if (c->rising)
            high += (c + 1)->at - c->at;
    m.Period = span / double(periods) * secondsPerSample;
    m.Frequency = 1 / *m.Period;
    m.Duty = high / span;
    return m;
}

namespace {

// Four significant digits: what the averaging over a block can tell.
double Significant(double v) {
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(std::fabs(v))));
    return std::round(v * scale) / scale;
}

const std::string NotMeasurable = "—";

} // namespace

MeasurementTexts TextsOf(const Measurements& m, const std::string& decimalSeparator) {
    const auto volts = [&](double v) {
        return NumberText(std::round(v * 1000) / 1000, "V", decimalSeparator);
    };
    MeasurementTexts t;
    t.Vpp = volts(m.Vpp);
    t.Vmin = volts(m.Vmin);
    t.Vmax = volts(m.Vmax);
    t.Mean = volts(m.Mean);
    t.Rms = volts(m.Rms);
    t.Frequency = t.Period = t.Duty = NotMeasurable;
    if (m.Frequency) {
        const double f = Significant(*m.Frequency);
        t.Frequency =
            f >= 1000 ? NumberText(f / 1000, "kHz", decimalSeparator) : NumberText(f, "Hz", decimalSeparator);
    }
    if (m.Period) {
        const double p = Significant(*m.Period);
        t.Period =
            p >= 1 ? NumberText(p, "s", decimalSeparator) : NumberText(p * 1000, "ms", decimalSeparator);
    }
    if (m.Duty)
        t.Duty = NumberText(std::round(*m.Duty * 1000) / 10, "%", decimalSeparator);
    return t;
}
