#include "Autoset.h"

#include "RangeTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr double MvPerStep = 9.765625;
// T/div of each knob position in seconds; a block is 500 samples over 20 divisions.
constexpr double TDiv[] = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2, 2e-2, 5e-2, 0.1, 0.2, 0.5, 1, 2, 5, 10};

using Volts = std::function<double(double seconds)>;
using Block = std::array<std::uint16_t, 500>;

// What the instrument sends for a block taken at timebase from the time start.
Block Taken(const Volts& v, int timebase, double start) {
    Block b{};
    for (int i = 0; i < 500; ++i)
        b[size_t(i)] =
            std::uint16_t(std::clamp(std::lround(v(start + i * TDiv[timebase] / 25) / 10 * 1024), 0L, 1023L));
    return b;
}

Volts Sine(double hertz, double amplitude = 3, double offset = 5) {
    return [=](double t) { return offset + amplitude * std::sin(2 * M_PI * hertz * t); };
}

Volts Square(double hertz, double duty = 0.5, double amplitude = 3, double offset = 5) {
    return [=](double t) {
        const double x = hertz * t;
        return offset + (x - std::floor(x) < duty ? amplitude : -amplitude);
    };
}

struct Outcome {
    AutosetResult result;
    int used = 0;
    std::vector<int> taken; // T/dz of every block that came, passed over or not
};

// The search against the instrument as the acquisition cycle drives it: the next
// block is asked for before the search sees this one, so after each move of the
// knob one block still comes at the old T/dz.
Outcome Search(const Volts& v) {
    AutosetSearch s;
    Outcome o;
    int asked = s.WantedTimebase();
    double now = 0.0123;
    while (o.taken.size() < 40) {
        const int timebase = std::exchange(asked, s.WantedTimebase());
        o.taken.push_back(timebase);
        const auto r = s.Take(Taken(v, timebase, now), timebase);
        now += 20 * TDiv[timebase] * 1.37; // acquisition, transfer and the pause: a fresh phase
        if (r) {
            o.result = *r;
            o.used = s.BlocksUsed();
            return o;
        }
    }
    ADD_FAILURE() << "no result after 40 blocks";
    return o;
}

} // namespace

// Levels, the count of periods, and the constant's limit; noise riding on the edges adds none.
TEST(Autoset, AnalysisCountsPeriodsAtTheMiddleLevelThroughNoise) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-4, 4);
    for (const double cycles : {2.0, 7.3, 40.0}) {
        Block b{};
        for (int i = 0; i < 500; ++i)
            b[size_t(i)] = std::uint16_t(
                512 + std::lround(300 * std::sin(2 * M_PI * cycles * i / 500 + 0.4)) + noise(rng));
        const BlockShape s = AnalyseBlock(b);
        EXPECT_NEAR(s.min, 212, 4);
        EXPECT_NEAR(s.max, 812, 4);
        EXPECT_NEAR(s.mean, 512, 300.0 / cycles) << "whole periods average to the offset";
        EXPECT_NEAR(s.periods, cycles, 0.02 * cycles + 0.02) << cycles;
        EXPECT_FALSE(s.constant);
    }
    // A narrow pulse: the middle level sees its edges where the mean level would sit at its foot.
    const Block pulses = Taken(Square(250, 0.05), 3, 0.0001);
    EXPECT_NEAR(AnalyseBlock(pulses).periods, 5, 0.05);

    Block flat{};
    flat.fill(600);
    flat[100] = 604; // four steps of flicker: still a constant
    EXPECT_TRUE(AnalyseBlock(flat).constant);
    EXPECT_EQ(AnalyseBlock(flat).periods, 0);
    flat[200] = 605;
    EXPECT_FALSE(AnalyseBlock(flat).constant);
    EXPECT_EQ(AnalyseBlock(flat).periods, 0) << "one step up is no period";
}

// Every swing the instrument can show: the smallest V/dz the swing fills at most 9/10 of,
// centred, on whole pixel rows, never past either end of the range.
TEST(Autoset, ViewFitsTheSwingOnWholeRowsInsideTheRange) {
    for (int min = 0; min <= 1023; min += 7)
        for (int max = min; max <= 1023; max += 11) {
            const ViewFit f = FitView(min, max);
            const VoltRow& row = VoltTable.at(size_t(f.volt));
            const double full = row.FullScaleVolts * 1000, swing = (max - min) * MvPerStep;
            const bool smallest = f.volt + 1 == int(VoltTable.size());
            ASSERT_TRUE(swing <= 0.9 * full + 1e-9 || (f.volt == 0 && swing > 9000)) << min << ".." << max;
            ASSERT_TRUE(smallest || swing > 0.9 * VoltTable[size_t(f.volt) + 1].FullScaleVolts * 1000)
                << "a smaller V/dz fits " << min << ".." << max;
            ASSERT_EQ(f.positionMv % row.MvPerRow, 0);
            ASSERT_GE(f.positionMv, 0);
            ASSERT_LE(f.positionMv, 10000 - full);
            ASSERT_LE(f.positionMv, min * MvPerStep) << min << ".." << max;
            ASSERT_GE(f.positionMv + full, max * MvPerStep) << min << ".." << max;
            // Centred to the nearest division (round labels), or to the row when a division would
            // leave part out, unless an end of the range holds it back.
            const double centre = (min + max) / 2.0 * MvPerStep;
            const bool atAnEnd = f.positionMv == 0 || f.positionMv == 10000 - full;
            const double division = 25.0 * row.MvPerRow, off = std::fabs(f.positionMv + full / 2 - centre);
            ASSERT_TRUE(atAnEnd || (std::fmod(f.positionMv, division) == 0 ? off <= division / 2
                                                                           : off <= row.MvPerRow / 2.0))
                << min << ".." << max;
        }
    // 1,8 V is nine tenths of 0,2 V/dz: 184 steps fit it, 185 do not.
    EXPECT_EQ(FitView(400, 584).volt, 2);
    EXPECT_EQ(FitView(400, 585).volt, 1);
    EXPECT_EQ(MiddleLevel(205, 820), 513);
    EXPECT_EQ(MiddleLevel(0, 1), 1) << "the lowest level the instrument takes";
}

TEST(Autoset, TimebaseForFrequencyShowsTwoToFivePeriodsAtTheTableEnds) {
    EXPECT_EQ(TimebaseForFrequency(1000), 1);   // 4 periods at 0,2 ms/dz
    EXPECT_EQ(TimebaseForFrequency(50), 4);     // 2 at 2 ms/dz and 5 at 5 ms/dz: the faster
    EXPECT_EQ(TimebaseForFrequency(2500), 0);   // 5 at 0,1 ms/dz
    EXPECT_EQ(TimebaseForFrequency(1e5), 0);    // faster than the table
    EXPECT_EQ(TimebaseForFrequency(0.01), 15);  // 2 in a block of 200 s
    EXPECT_EQ(TimebaseForFrequency(0.001), 15); // slower than the table
}

// Sines and squares (a narrow pulse too) over the table and at offsets near both ends of
// the range: 2..5 periods at the chosen T/dz, the trigger rising at the middle, within the
// bound of counted blocks, the blocks that came at an old T/dz passed over. A square flat
// through both first blocks (0,22 s) reads as a constant, so squares start at 3 Hz; the
// sines start on a slope and the small ones where it shows ten steps in 0,2 s.
TEST(Autoset, SearchShowsTwoToFivePeriodsOfSinesAndSquaresOverTheTable) {
    struct Case {
        const char* name;
        std::function<Volts(double)> make;
        double from;   // Hz
        int low, high; // the signal's extremes, in steps
    };
    const Case cases[] = {
        {"sine", [](double f) { return Sine(f, 5, 5); }, 0.0123, 0, 1023},
        {"sine near 0 V", [](double f) { return Sine(f, 0.2, 0.25); }, 0.5, 5, 46},
        {"sine near 10 V", [](double f) { return Sine(f, 0.3, 9.6); }, 0.3, 952, 1014},
        {"square", [](double f) { return Square(f); }, 3, 205, 819},
        {"pulse", [](double f) { return Square(f, 0.1, 4.5, 5); }, 10, 51, 973},
    };
    int most = 0;
    for (const Case& c : cases)
        for (double f = c.from; f < 2500; f *= 1.9) {
            const Outcome o = Search(c.make(f));
            const AutosetResult& r = o.result;
            const double periods = f * 20 * TDiv[r.timebase];
            ASSERT_EQ(r.outcome, AutosetOutcome::Periodic) << c.name << " " << f << " Hz";
            ASSERT_GE(periods, 2) << c.name << " " << f << " Hz";
            ASSERT_LE(periods, 5) << c.name << " " << f << " Hz";
            ASSERT_NEAR(r.periods, periods, 0.05 * periods) << c.name << " " << f << " Hz";
            ASSERT_EQ(r.triggerMode, 1);
            ASSERT_NEAR(r.triggerLevel, (c.low + c.high) / 2.0, 2) << c.name << " " << f << " Hz";
            const ViewFit fit = FitView(c.low, c.high);
            ASSERT_EQ(r.volt, fit.volt) << c.name << " " << f << " Hz";
            ASSERT_NEAR(r.positionMv, fit.positionMv, VoltTable[size_t(fit.volt)].MvPerRow);
            ASSERT_LE(o.used, AutosetSearch::MaxBlocks);
            // The slow T/dz only as the signal needs them: at most one step of ten past the answer.
            ASSERT_LE(*std::max_element(o.taken.begin(), o.taken.end()), std::max(r.timebase + 2, 6))
                << c.name << " " << f << " Hz";
            most = std::max(most, o.used);
        }
    EXPECT_EQ(most, AutosetSearch::MaxBlocks) << "1 ms, 10 ms, 0,1 s, 1 s, 10 s/dz, then the answer";

    // The house's two pictures: a kHz sine counted once and checked once; 50 Hz in four.
    const Outcome sine = Search(Sine(1000));
    EXPECT_EQ(sine.result.timebase, 1);
    EXPECT_EQ(sine.used, 2);
    EXPECT_EQ(sine.taken, (std::vector<int>{3, 3, 1})) << "one block at the old T/dz passed over";
    const Outcome square = Search(Square(50));
    EXPECT_TRUE(square.result.timebase == 4 || square.result.timebase == 5) << square.result.timebase;
    EXPECT_LE(square.used, 4);
}

// A constant is confirmed by one block ten times slower and shown on the finest V/dz with
// no trigger; at either end of the range the view stops at the end.
TEST(Autoset, ConstantsTakeTwoBlocksAndNoTrigger) {
    for (const auto& [volts, position] : {std::pair{5.0, 4500}, {0.0, 0}, {12.0, 9000}, {9.7, 9000}}) {
        const Outcome o = Search([v = volts](double) { return v; });
        EXPECT_EQ(o.result.outcome, AutosetOutcome::Constant) << volts;
        EXPECT_EQ(o.used, 2);
        EXPECT_EQ(o.result.timebase, AutosetSearch::StartTimebase + 3);
        EXPECT_EQ(o.result.triggerMode, 0);
        EXPECT_EQ(o.result.volt, 3);
        EXPECT_EQ(o.result.positionMv, position) << volts;
    }
}

// Beyond either end of the table: the end, with the trigger set, and said so.
TEST(Autoset, SignalsBeyondTheTableEndAtItsEnds) {
    const Outcome fast = Search(Sine(9000));
    EXPECT_EQ(fast.result.outcome, AutosetOutcome::TooFast);
    EXPECT_EQ(fast.result.timebase, 0);
    EXPECT_EQ(fast.result.triggerMode, 1);

    // Noise: crossings everywhere, at no rate a T/dz could show.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> volts(2, 8);
    const Outcome noise = Search([&](double) { return volts(rng); });
    EXPECT_EQ(noise.result.outcome, AutosetOutcome::TooFast);
    EXPECT_EQ(noise.result.timebase, 0);
    EXPECT_LE(noise.used, 2);

    // Never two edges in any block: followed down to 10 s/dz, ten times slower at a step.
    AutosetSearch s;
    Block ramp{};
    for (int i = 0; i < 500; ++i)
        ramp[size_t(i)] = std::uint16_t(100 + i);
    std::vector<int> asked;
    std::optional<AutosetResult> r;
    while (!r && asked.size() < 10) {
        asked.push_back(s.WantedTimebase());
        r = s.Take(ramp, s.WantedTimebase());
    }
    EXPECT_EQ(asked, (std::vector<int>{3, 6, 9, 12, 15}));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->outcome, AutosetOutcome::TooSlow);
    EXPECT_EQ(r->triggerMode, 1);

    // A signal that never shows the same twice still ends at the bound, and says so.
    AutosetSearch changing;
    const Block twelve = Taken(Sine(0.06), 15, 0); // 12 periods, offered at whatever T/dz
    r.reset();
    for (int i = 0; !r && i < AutosetSearch::MaxBlocks; ++i)
        r = changing.Take(i % 2 ? ramp : twelve, changing.WantedTimebase());
    ASSERT_TRUE(r) << "no end within the bound";
    EXPECT_EQ(r->outcome, AutosetOutcome::Unsettled);
}

// A 2,3 kHz sine seen at 10 ms/dz (2,5 kHz sampling) folds down to 200 Hz: the search
// goes where that count points, counts again there, and again, until the count holds.
TEST(Autoset, ManyCrossingsAtASlowTimebaseAreCountedAgainFaster) {
    AutosetSearch s;
    Block slow{};
    for (int i = 0; i < 500; ++i)
        slow[size_t(i)] = std::uint16_t(300 + i); // less than a period: go slower
    ASSERT_FALSE(s.Take(slow, 3));
    ASSERT_EQ(s.WantedTimebase(), 6);
    const Volts fast = Sine(2300);
    ASSERT_FALSE(s.Take(Taken(fast, 6, 0.001), 6)) << "no answer from a folded count";
    EXPECT_EQ(s.WantedTimebase(), 3) << "200 Hz would show 4 periods at 1 ms/dz";
    ASSERT_FALSE(s.Take(Taken(fast, 3, 0.5), 3));
    EXPECT_EQ(s.WantedTimebase(), 0);
    const auto r = s.Take(Taken(fast, 0, 0.9), 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->outcome, AutosetOutcome::Periodic);
    EXPECT_NEAR(r->periods, 4.6, 0.1);
}
