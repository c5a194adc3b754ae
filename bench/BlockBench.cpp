// Cost of one block on the GUI thread: the spectrum alone, warm and with the
// caches emptied first, against the direct double loop, and everything a fast
// block costs (decode, trace, spectrum, compose), by hand and through ViewComposer.

#include "BlockTransform.h"
#include "Canvas.h"
#include "Samples.h"
#include "TraceDrawing.h"
#include "ViewComposer.h"

#include <QPainter>
#include <QRegion>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

SampleBuffer Noise(unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> d(0, 1023);
    SampleBuffer s{};
    for (int i = 0; i < 500; ++i)
        s[size_t(i)] = std::uint16_t(d(rng));
    return s;
}

std::string Bytes(const SampleBuffer& s) {
    std::string b;
    for (int i = 0; i < 500; ++i) {
        b += char(s[size_t(i)] & 0xFF);
        b += char(s[size_t(i)] >> 8);
    }
    return b;
}

struct Tables {
    TransformTables t;
    Tables() { BuildSpectrumTables(t); }
};

// Between two blocks the program paints, sleeps and the rest of the desktop runs,
// so what the transform reads comes from memory again. Touching a buffer larger
// than the last-level cache (32 MiB here) outside the timed region stands for
// that; 8 MiB only empties the per-core cache. 0 is the warm figure.
void EmptyCaches(std::vector<char>& buffer) {
    for (std::size_t i = 0; i < buffer.size(); i += 64)
        buffer[i] = char(buffer[i] + 1);
    benchmark::ClobberMemory();
}

void BM_ComputeSpectrum(benchmark::State& state) {
    Tables tables;
    const auto transform = std::make_unique<BlockTransform>(tables.t);
    const SampleBuffer s = Noise(1);
    Spectrum out{};
    std::vector<char> evict(std::size_t(state.range(0)) << 20);
    for (auto _ : state) {
        if (!evict.empty()) {
            state.PauseTiming();
            EmptyCaches(evict);
            state.ResumeTiming();
        }
        transform->ComputeSpectrum(s, out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_ComputeSpectrum)->ArgName("evict_MiB")->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeSpectrum)
    ->ArgName("evict_MiB")
    ->Arg(8)
    ->Arg(64)
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

void BM_DirectSpectrum(benchmark::State& state) {
    Tables tables;
    const SampleBuffer s = Noise(1);
    Spectrum out{};
    for (auto _ : state) {
        std::int32_t sum = 0;
        for (int i = 0; i < 500; ++i)
            sum += s[size_t(i)];
        const std::int32_t mean = sum / 500;
        for (int k = 0; k < 500; ++k) {
            double re = 0, im = 0;
            for (int i = 0; i < 500; ++i) {
                const int index = ((k * i) / 5) % 500;
                const double d = std::int32_t(s[size_t(i)]) - mean;
                const double w = 0.54 - 0.46 * double(tables.t.CosTable[size_t(i)]);
                re = re + d * double(tables.t.CosTable[size_t(index)]) * w;
                im = im + d * double(tables.t.SinTable[size_t(index)]) * w;
            }
            out[size_t(k)] = std::int32_t(std::int64_t(std::sqrt(re * re + im * im)) / 58);
        }
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_DirectSpectrum)->Unit(benchmark::kMicrosecond);

// Everything a fast block costs on the GUI thread, with a 1- or 2-pixel pen, noisy data.
void BM_FastBlock(benchmark::State& state) {
    Tables tables;
    const auto transform = std::make_unique<BlockTransform>(tables.t);
    Canvas window(QSize(578, 519), Qt::gray);
    Canvas timeBackground(QSize(500, 250), Qt::darkGreen), spectrumBackground(QSize(500, 125), Qt::lightGray);
    window.PenWidth = int(state.range(0));
    const std::string rx = Bytes(Noise(2));
    SampleBuffer samples{};
    Spectrum spectrum{};
    for (auto _ : state) {
        DecodeBlock(rx, samples);
        transform->ComputeSpectrum(samples, spectrum);
        // Both views straight onto the window, as the program draws them.
        window.CopyRect(QRect(30, 346, 500, 125), spectrumBackground.Image());
        window.SetView(QRect(30, 346, 500, 125));
        DrawSpectrumLines(window, spectrum, 10, true);
        window.CopyRect(QRect(30, 30, 500, 250), timeBackground.Image());
        window.SetView(QRect(30, 30, 500, 250));
        DrawTrace(window, samples, Rounding::Truncate, 40, 0);
        window.SetView({});
        benchmark::DoNotOptimize(window.Image().constBits());
    }
}
BENCHMARK(BM_FastBlock)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The same block through the main window's composer, as the program takes it: shown, then
// painted onto an image of the window's size, the two views dirty, as a backing store gets it.
void BM_ComposedBlock(benchmark::State& state) {
    Tables tables;
    const auto transform = std::make_unique<BlockTransform>(tables.t);
    ViewComposer composer;
    composer.SetTracePen(Qt::red, int(state.range(0)));
    QImage screen(578, 519, QImage::Format_ARGB32_Premultiplied);
    const QRegion dirty = QRegion(30, 30, 500, 250) + QRegion(30, 346, 500, 125);
    const std::string rx = Bytes(Noise(2));
    SampleBuffer samples{};
    Spectrum spectrum{};
    for (auto _ : state) {
        DecodeBlock(rx, samples);
        transform->ComputeSpectrum(samples, spectrum);
        composer.ChooseTraceRounding(Rounding::Truncate);
        composer.ShowSpectrum(spectrum, 10, true, Qt::black);
        composer.ShowTrace(samples, 40, 0);
        QPainter p(&screen);
        composer.Paint(p, dirty);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_ComposedBlock)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
