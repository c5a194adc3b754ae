#include "Measurements.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace {

constexpr double Step = 0.009765625; // volts per step
// T/div of each knob position in seconds; a block is 20 divisions.
constexpr double TDiv[] = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3, 5e-3, 1e-2, 2e-2, 5e-2, 0.1, 0.2, 0.5, 1, 2, 5, 10};

enum class Shape { Sine, Square };

struct Wave {
    Shape shape = Shape::Sine;
    double cycles = 10; // per block
    double duty = 0.5;  // of the square
    double noise = 0;   // uniform, +- steps
    double phase = 0;   // of a cycle
};

SampleBuffer Make(const Wave& w) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> noise(-w.noise, w.noise);
    SampleBuffer s{};
    for (int i = 0; i < 500; ++i) {
        const double x = w.cycles * i / 500 + w.phase;
        const double v = w.shape == Shape::Sine ? 512 + 300 * std::sin(2 * M_PI * x)
                                                : (x - std::floor(x) < w.duty ? 800 : 200);
        s[size_t(i)] = std::uint16_t(std::lround(v + (w.noise > 0 ? noise(rng) : 0)));
    }
    return s;
}

} // namespace

// Frequency, period and duty of sines and squares at several time bases and
// frequencies, against the generator's; noise on the sine tests the hysteresis.
class Periodic : public testing::TestWithParam<std::tuple<int, double, Shape, double>> {};

TEST_P(Periodic, FrequencyPeriodAndDutyOfTheGenerator) {
    const auto [timebase, cycles, shape, noise] = GetParam();
    for (const double duty : {0.5, 0.25}) {
        const Measurements m = Measure(Make({shape, cycles, duty, noise, 0.3}), timebase);
        const double f = cycles / (20 * TDiv[timebase]);
        ASSERT_TRUE(m.Frequency && m.Period && m.Duty);
        // Noise moves each crossing by up to noise / slope samples.
        const double tolerance = noise > 0 ? 0.03 : 0.005;
        EXPECT_NEAR(*m.Frequency / f, 1, tolerance) << "duty " << duty;
        EXPECT_NEAR(*m.Period * f, 1, tolerance);
        // A sine's share above the block's mean depends on the part period at the end.
        if (shape == Shape::Sine)
            break;
        EXPECT_NEAR(*m.Duty, duty, 1.2 * cycles / 500) << "at most a sample per period";
    }
}

INSTANTIATE_TEST_SUITE_P(Waves, Periodic,
                         testing::Combine(testing::Values(0, 3, 6, 9, 15), testing::Values(2.5, 10, 47.3),
                                          testing::Values(Shape::Sine, Shape::Square), testing::Values(0.0)));
INSTANTIATE_TEST_SUITE_P(Noisy, Periodic,
                         testing::Combine(testing::Values(3), testing::Values(3.0, 5.0, 12.0),
                                          testing::Values(Shape::Sine, Shape::Square),
                                          testing::Values(40.0)));

TEST(Measurements, LevelsOfWholePeriods) {
    // 10 periods of 50 samples: 25 at 800, 25 at 200.
    const Measurements sq = Measure(Make({Shape::Square, 10, 0.5}), 0);
    EXPECT_EQ(sq.Vmin, 200 * Step);
    EXPECT_EQ(sq.Vmax, 800 * Step);
    EXPECT_EQ(sq.Vpp, 600 * Step);
    EXPECT_EQ(sq.Mean, 500 * Step);
    EXPECT_NEAR(sq.Rms, std::sqrt((200.0 * 200 + 800.0 * 800) / 2) * Step, 1e-9);

    const Measurements sine = Measure(Make({Shape::Sine, 10}), 0);
    EXPECT_NEAR(sine.Mean, 512 * Step, 0.2 * Step);
    EXPECT_NEAR(sine.Rms, std::sqrt(512.0 * 512 + 300.0 * 300 / 2) * Step, 0.5 * Step);
    EXPECT_NEAR(sine.Vmax, 812 * Step, 1.01 * Step);
    EXPECT_NEAR(sine.Vmin, 212 * Step, 1.01 * Step);
}

TEST(Measurements, NothingToTimeInLevelsAndSingleEdges) {
    SampleBuffer dc{};
    dc.fill(512);
    SampleBuffer flicker = dc; // the converter's last step
    std::mt19937 rng(3);
    for (int i = 0; i < 500; ++i)
        flicker[size_t(i)] = std::uint16_t(511 + rng() % 3);
    SampleBuffer edge{};
    for (int i = 0; i < 500; ++i)
        edge[size_t(i)] = i < 250 ? 200 : 800;
    SampleBuffer spike = dc;
    spike[100] = 1023;

    for (const SampleBuffer& s : {dc, flicker, edge, spike}) {
        const Measurements m = Measure(s, 5);
        EXPECT_FALSE(m.Frequency || m.Period || m.Duty);
        const MeasurementTexts t = TextsOf(m);
        EXPECT_EQ(t.Frequency, "—");
        EXPECT_EQ(t.Period, "—");
        EXPECT_EQ(t.Duty, "—");
    }
    const Measurements level = Measure(dc, 5);
    EXPECT_EQ(level.Vpp, 0);
    EXPECT_EQ(level.Mean, 5);
    EXPECT_EQ(level.Rms, 5);
    EXPECT_EQ(Measure(edge, 5).Vpp, 600 * Step);
    EXPECT_THROW(Measure(dc, 16), std::out_of_range);
}

TEST(Measurements, Texts) {
    struct Row {
        double f, period, volts, duty;
        const char *fText, *periodText, *voltsText, *dutyText;
    };
    const Row rows[] = {
        {1000, 0.001, 4.990234375, 0.5, "1kHz", "1ms", "4,99V", "50%"},
        {249.99, 0.0040002, 0.009765625, 0.3333, "250Hz", "4ms", "0,01V", "33,3%"},
        {12345.6, 8.1e-5, 7.8125, 0.25, "12,35kHz", "0,081ms", "7,813V", "25%"},
        {0.5, 2, 0, 0.999, "0,5Hz", "2s", "0V", "99,9%"},
    };
    for (const Row& r : rows) {
        Measurements m;
        m.Frequency = r.f;
        m.Period = r.period;
        m.Duty = r.duty;
        m.Vpp = m.Vmin = m.Vmax = m.Mean = m.Rms = r.volts;
        const MeasurementTexts t = TextsOf(m);
        EXPECT_EQ(t.Frequency, r.fText);
        EXPECT_EQ(t.Period, r.periodText);
        EXPECT_EQ(t.Duty, r.dutyText);
        for (const std::string& v : {t.Vpp, t.Vmin, t.Vmax, t.Mean, t.Rms})
            EXPECT_EQ(v, r.voltsText);
    }
    Measurements m;
    m.Mean = 4.5;
    EXPECT_EQ(TextsOf(m, ".").Mean, "4.5V");
}
