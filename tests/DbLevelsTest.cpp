#include "DbLevels.h"

#include "RangeTables.h"
#include "Signal.h"
#include "TempDir.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// A block as the simulator takes it: its signal read by the 10-bit converter.
std::array<double, BlockSamples> SimulatorBlock(const SignalShape& shape, int timebase) {
    std::array<double, BlockSamples> volts;
    for (std::size_t i = 0; i < volts.size(); ++i)
        volts[i] = Counts(Volts(shape, double(i) * SecondsPerSample(timebase))) * VoltsPerStep;
    return volts;
}

struct NumpySpectrum {
    double binHz = 0;
    std::vector<double> level;
    std::vector<std::pair<double, double>> peaks; // frequency, level
    double floor = 0;
};

// The same spectrum from tools/db_levels_check.py, worked out with numpy.
NumpySpectrum FromNumpy(const std::array<double, BlockSamples>& volts, double dt, const char* window,
                        const DbTransform& t) {
    TempDir dir;
    {
        std::ofstream in(dir.File("block"));
        in.precision(17);
        in << window << ' ' << dt << '\n';
        for (double v : volts)
            in << v << '\n';
        for (double w : t.Window(SpectrumWindow::Main))
            in << w << '\n';
    }
    const std::string command =
        std::string(DRGANIK_PYTHON " " DRGANIK_SOURCE_DIR "/tools/db_levels_check.py <") +
        dir.File("block");
    FILE* out = popen(command.c_str(), "r");
    std::string text;
    char buf[4096];
    for (std::size_t n; out && (n = fread(buf, 1, sizeof buf, out)) > 0;)
        text.append(buf, n);
    EXPECT_TRUE(out && pclose(out) == 0) << command;
    std::istringstream lines(text);
    NumpySpectrum s;
    lines >> s.binHz;
    s.level.resize(DbBins);
    for (double& v : s.level)
        lines >> v;
    std::vector<double> rest;
    for (double v; lines >> v;)
        rest.push_back(v);
    for (std::size_t i = 0; i + 1 < rest.size(); i += 2)
        s.peaks.push_back({rest[i], rest[i + 1]});
    s.floor = rest.empty() ? 0 : rest.back();
    return s;
}

} // namespace

// The simulator's sine and square, every window: each bin's level, the peaks and the noise
// floor as numpy has them; a 1 kHz square's peaks at 1, 3 and 5 kHz at the levels of its
// harmonics (4/pi, 4/3pi, 4/5pi of the amplitude); a sine's flat-top level its RMS.
TEST(DbSpectrum, LevelsPeaksAndFloorAsNumpyHasThem) {
    TransformTables tables;
    BuildSpectrumTables(tables);
    const DbTransform t(tables);
    const struct {
        SignalShape shape;
        int timebase;
    } cases[] = {
        {{"square", 1000, 3, 5, 1}, 0}, {{"square", 1000, 3, 5, 1}, 3}, {{"sine", 1234, 2, 5, 1}, 3}};
    const std::pair<SpectrumWindow, const char*> windows[] = {
        {SpectrumWindow::Main, "main"}, {SpectrumWindow::Hann, "hann"}, {SpectrumWindow::FlatTop, "flattop"}};
    for (const auto& c : cases)
        for (const auto& [window, name] : windows) {
            SCOPED_TRACE(c.shape.kind + " T/dz " + std::to_string(c.timebase) + " " + name);
            const double dt = SecondsPerSample(c.timebase);
            const auto volts = SimulatorBlock(c.shape, c.timebase);
            const DbSpectrum ours = t.Compute(volts, dt, window, DbScale::Dbv);
            const NumpySpectrum numpy = FromNumpy(volts, dt, name, t);
            ASSERT_EQ(numpy.level.size(), std::size_t(DbBins));
            EXPECT_NEAR(ours.binHz, numpy.binHz, 1e-9);
            for (int k = 0; k < DbBins; ++k)
                ASSERT_NEAR(ours.level[size_t(k)], numpy.level[size_t(k)], 1e-6) << "bin " << k;
            ASSERT_EQ(ours.peaks.size(), numpy.peaks.size());
            for (std::size_t i = 0; i < ours.peaks.size(); ++i) {
                EXPECT_NEAR(ours.peaks[i].frequency, numpy.peaks[i].first, 1e-6);
                EXPECT_NEAR(ours.peaks[i].level, numpy.peaks[i].second, 1e-6);
            }
            EXPECT_NEAR(ours.noiseFloor, numpy.floor, 1e-6);

            if (c.shape.kind == "square") {
                ASSERT_EQ(ours.peaks.size(), 3u);
                for (int h = 0; h < 3; ++h) {
                    const int harmonic = 2 * h + 1;
                    EXPECT_NEAR(ours.peaks[size_t(h)].frequency, 1000.0 * harmonic, ours.binHz);
                    const double rms = 4 / M_PI / harmonic * c.shape.amplitude / std::sqrt(2);
                    // The flat-top's lobe is ten bins wide: harmonics four bins apart add up.
                    if (window != SpectrumWindow::FlatTop || 2000 / ours.binHz >= 10) {
                        EXPECT_NEAR(ours.peaks[size_t(h)].level, 20 * std::log10(rms), 0.5);
                    }
                }
            } else if (window == SpectrumWindow::FlatTop) {
                EXPECT_NEAR(ours.peaks.at(0).frequency, 1234, ours.binHz);
                EXPECT_NEAR(ours.peaks[0].level, 20 * std::log10(c.shape.amplitude / std::sqrt(2)), 0.05)
                    << "between two bins";
                EXPECT_LT(ours.noiseFloor, ours.peaks[0].level - 60) << "the converter's steps, far down";
            }
            const DbSpectrum relative = t.Compute(volts, dt, window, DbScale::Relative);
            EXPECT_NEAR(relative.peaks.at(0).level, 0, 1e-12);
            EXPECT_NEAR(relative.noiseFloor, ours.noiseFloor - ours.peaks[0].level, 1e-9);
        }
}
