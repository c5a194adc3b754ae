// What the Lupa adds to a block on the GUI thread: hidden (the block kept); shown at
// 1920 x 1080, a live block between refreshes (kept, averaged) and a refresh (the spectrum
// in dB and the paint) at three window sizes. Run offscreen.

#include "ErrorBox.h"
#include "LupaPlot.h"
#include "LupaWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <numbers>
#include <random>

namespace {

struct Rig {
    TransformTables tables;
    ErrorBox errors{QStringLiteral("Drganik")};
    QWidget w1, w2;
    std::unique_ptr<TLupaWindow> lupa;
    std::vector<SampleBuffer> blocks;
    Rig(bool shown, int averaging, QSize size = {1920, 1080}) {
        BuildSpectrumTables(tables);
        lupa = std::make_unique<TLupaWindow>(w1, w2, tables, errors);
        lupa->resize(size);
        lupa->SetAveraging(averaging);
        if (shown)
            lupa->show();
        QApplication::processEvents();
        // A noisy sine, as a live feed would bring it.
        std::mt19937 rng(3);
        std::normal_distribution<double> noise(0, 15);
        for (int b = 0; b < 64; ++b) {
            SampleBuffer s{};
            for (int i = 0; i < 500; ++i)
                s[size_t(i)] = std::uint16_t(
                    std::clamp(std::lround(512 + 300 * std::sin(2 * std::numbers::pi * i / 250) + noise(rng)),
                               0L, 1023L));
            blocks.push_back(s);
        }
    }
};

void BM_LupaBlockHidden(benchmark::State& state) {
    Rig rig(false, 64);
    std::size_t n = 0;
    for (auto _ : state)
        rig.lupa->ShowBlock(rig.blocks[n++ % rig.blocks.size()], {0, 0, 1, 512}, true);
}
BENCHMARK(BM_LupaBlockHidden);

// A live block between two refreshes (at most 12.5 a second): kept and, when on, averaged.
// range(0): blocks averaged (1: off).
void BM_LupaLiveBlockBetweenRefreshes(benchmark::State& state) {
    Rig rig(true, int(state.range(0)));
    std::size_t n = 0;
    for (auto _ : state)
        rig.lupa->ShowBlock(rig.blocks[n++ % rig.blocks.size()], {0, 0, 1, 512}, true);
}
BENCHMARK(BM_LupaLiveBlockBetweenRefreshes)->Arg(1)->Arg(64);

// The dB spectrum alone (transform, levels, peaks, floor), part of every refresh.
void BM_DbSpectrum(benchmark::State& state) {
    Rig rig(false, 1, {100, 100});
    const DbTransform transform(rig.tables);
    std::array<double, BlockSamples> volts;
    for (std::size_t i = 0; i < volts.size(); ++i)
        volts[i] = rig.blocks[0][i] * VoltsPerStep;
    for (auto _ : state)
        benchmark::DoNotOptimize(transform.Compute(volts, 4e-6, SpectrumWindow::Hann, DbScale::Dbv));
}
BENCHMARK(BM_DbSpectrum)->Unit(benchmark::kMicrosecond);

// A refresh as the program makes it: the block in volts, its spectrum in dB with peaks and
// floor, and the paint through the event loop into the window's backing store (offscreen: an
// image); grid, axes and texts kept from the paint before. range(0), range(1): the window's size.
void BM_LupaRefresh(benchmark::State& state) {
    Rig rig(true, 64, QSize(int(state.range(0)), int(state.range(1))));
    std::size_t n = 0;
    for (auto _ : state) {
        rig.lupa->ShowBlock(rig.blocks[n++ % rig.blocks.size()], {0, 0, 1, 512}, false); // at once
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LupaRefresh)
    ->Args({1920, 1080})
    ->Args({1280, 720})
    ->Args({900, 640})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
