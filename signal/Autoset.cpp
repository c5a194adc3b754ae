#include "Autoset.h"

#include "RangeTables.h"
#include "TriggerLevel.h"
#include "ViewPosition.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr double MvPerStep = VoltsPerStep * 1000;
constexpr double MostOfView = 0.9;
constexpr double FewestPeriods = 2, MostPeriods = 5;
constexpr int SlowestTimebase = int(TimebaseTable.size()) - 1;
constexpr int TenTimesSlower = 3; // positions on the 1-2-5 table

bool Shows(double periods) {
    return periods >= FewestPeriods && periods <= MostPeriods;
}

} // namespace

BlockShape AnalyseBlock(BlockView s) {
    BlockShape b;
    const auto [lo, hi] = std::minmax_element(s.begin(), s.end());
    b.min = *lo;
    b.max = *hi;
    b.mean = std::accumulate(s.begin(), s.end(), 0.0) / double(s.size());
    b.constant = b.max - b.min < ConstantSwingBelow;
    if (b.constant)
        return b;
    const double middle = (b.min + b.max) / 2.0;
    const double band = std::max((b.max - b.min) / 10.0, 2.0);
    bool low = false;
    std::size_t lastBelow = 0;
    double first = 0, last = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double v = s[i];
        if (v < middle)
            lastBelow = i;
        if (v <= middle - band) {
            low = true;
        } else if (low && v >= middle + band) {
            low = false;
            // Where the line between the last sample below the middle and the next meets it.
            const double below = s[lastBelow], above = s[lastBelow + 1];
            last = double(lastBelow) + (middle - below) / (above - below);
            if (b.risingEdges++ == 0)
                first = last;
        }
    }
    if (b.risingEdges >= 2)
        b.periods = double(b.risingEdges - 1) * double(s.size()) / (last - first);
    return b;
}

ViewFit FitView(int min, int max) {
    const double swingMv = (max - min) * MvPerStep;
    std::size_t volt = 0;
    for (std::size_t v = VoltTable.size(); v-- > 0;)
        if (swingMv <= MostOfView * VoltTable[v].FullScaleVolts * 1000) {
            volt = v;
            break;
        }
    const VoltRow& row = VoltTable[volt];
    const int fullMv = int(std::lround(row.FullScaleVolts * 1000));
    const double bottomMv = (min + max) / 2.0 * MvPerStep - fullMv / 2.0;
    // On a whole division the scale reads in round volts ("3V", "3,2V"); on a row only
    // when the division would leave part of the swing out.
    const int division = DivisionMv(row.MvPerRow);
    const int onDivision =
        ClampPosition(int(std::lround(bottomMv / division)) * division, row.MvPerRow, row.FullScaleVolts);
    const bool fits = min * MvPerStep >= onDivision && max * MvPerStep <= onDivision + fullMv;
    return {int(volt),
            fits ? onDivision : ClampPosition(int(std::lround(bottomMv)), row.MvPerRow, row.FullScaleVolts)};
}

int MiddleLevel(int min, int max) {
    return std::clamp(int(std::lround((min + max) / 2.0)), MinTriggerLevel, MaxTriggerLevel);
}

double BlockSeconds(int timebase) {
    return TimebaseTable.at(std::size_t(timebase)).TimePerPixelMs * 500 / 1000;
}

int TimebaseForFrequency(double hertz) {
    const double ideal = std::sqrt(FewestPeriods * MostPeriods);
    int best = -1;
    double bestDistance = 0;
    for (int t = 0; t <= SlowestTimebase; ++t) {
        const double periods = hertz * BlockSeconds(t);
        const double distance = std::fabs(std::log(periods / ideal));
        if (Shows(periods) && (best < 0 || distance < bestDistance - 1e-9)) {
            best = t;
            bestDistance = distance;
        }
    }
    if (best >= 0)
        return best;
    return hertz * BlockSeconds(0) > MostPeriods ? 0 : SlowestTimebase;
}

std::optional<AutosetResult> AutosetSearch::Take(BlockView samples, int timebase) {
    if (timebase != wanted_)
        return std::nullopt;
    ++used_;
    return Next(AnalyseBlock(samples));
}

std::optional<AutosetResult> AutosetSearch::Next(const BlockShape& b) {
    const int here = wanted_;
    std::optional<int> next;
    if (b.periods == 0) {
        // Fewer than two rising edges: a slower signal, or a constant, which the block
        // before it at the same level confirms. Once some block was counted, only a step slower.
        const bool confirmedConstant =
            b.constant && constantAt_ && std::fabs(*constantAt_ - b.mean) < ConstantSwingBelow;
        if (!confirmedConstant && here < SlowestTimebase)
            next = std::min(here + (counted_ ? 1 : TenTimesSlower), SlowestTimebase);
    } else if (!Shows(b.periods)) {
        counted_ = true;
        if (const int t = TimebaseForFrequency(b.periods / BlockSeconds(here)); t != here)
            next = t;
    }
    constantAt_ = b.constant ? std::optional(b.mean) : std::nullopt;
    if (next && used_ < MaxBlocks) {
        wanted_ = *next;
        return std::nullopt;
    }
    return Result(b);
}

AutosetResult AutosetSearch::Result(const BlockShape& b) const {
    AutosetResult r;
    r.timebase = wanted_;
    const ViewFit fit = FitView(b.min, b.max);
    r.volt = fit.volt;
    r.positionMv = fit.positionMv;
    r.triggerLevel = MiddleLevel(b.min, b.max);
    r.periods = b.periods;
    if (b.constant) {
        r.outcome = AutosetOutcome::Constant;
        return r;
    }
    r.triggerMode = 1;
    if (Shows(b.periods))
        r.outcome = AutosetOutcome::Periodic;
    else if (wanted_ == 0 && b.periods > MostPeriods)
        r.outcome = AutosetOutcome::TooFast;
    else if (wanted_ == SlowestTimebase && b.periods < FewestPeriods)
        r.outcome = AutosetOutcome::TooSlow;
    else
        r.outcome = AutosetOutcome::Unsettled;
    return r;
}
