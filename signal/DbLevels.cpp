#include "DbLevels.h"

#include "BlockTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;
constexpr std::size_t N = BlockSamples;

// The transform of n = N / wStep values in[0], in[stride], ... into out[0..n-1], by
// decimation in time with radix 2 and 5 (500 = 2 * 2 * 5 * 5 * 5): about 10 000 complex
// products instead of the direct sum's 125 000. w[j] = exp(-2 pi i j / N).
void Fft(const Complex* in, std::size_t stride, std::size_t n, Complex* out, const Complex* w,
         std::size_t wStep) {
    if (n == 1) {
        out[0] = in[0];
        return;
    }
    const std::size_t p = n % 2 == 0 ? 2 : 5; // 500 has no other factor
    const std::size_t m = n / p;
    for (std::size_t r = 0; r < p; ++r)
        Fft(in + r * stride, stride * p, m, out + r * m, w, wStep * p);
    // X[k + q m] = sum over r of W_n^(r k) W_p^(r q) Y_r[k]: the p values read for one k are
    // the p written, so the combination works in place.
    Complex twiddled[5];
    for (std::size_t k = 0; k < m; ++k) {
        for (std::size_t r = 0; r < p; ++r)
            twiddled[r] = out[r * m + k] * w[r * k * wStep % N];
        for (std::size_t q = 0; q < p; ++q) {
            Complex sum = 0;
            for (std::size_t r = 0; r < p; ++r)
                sum += twiddled[r] * w[r * q * m * wStep % N]; // W_p^(r q)
            out[k + q * m] = sum;
        }
    }
}

// The three highest local maxima above bin 0 (the mean is removed), highest first.
std::vector<SpectrumPeak> HighestPeaks(const DbSpectrum& s) {
    std::vector<SpectrumPeak> peaks;
    for (int k = 1; k < DbBins; ++k) {
        const double v = s.level[std::size_t(k)];
        const bool aboveLeft = v > s.level[std::size_t(k - 1)];
        const bool notBelowRight = k == DbBins - 1 || v >= s.level[std::size_t(k + 1)];
        if (aboveLeft && notBelowRight && v > SilentDb)
            peaks.push_back({k, k * s.binHz, v});
    }
    std::stable_sort(peaks.begin(), peaks.end(), [](auto& a, auto& b) { return a.level > b.level; });
    if (peaks.size() > 3)
        peaks.resize(3);
    return peaks;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

DbTransform::DbTransform(const TransformTables& mainTables) {
    for (std::size_t i = 0; i < BlockSamples; ++i) {
        const double x = 2 * Pi * double(i) / double(N); // periodic windows: the block repeats
        windows_[std::size_t(SpectrumWindow::Main)][i] = MainSpectrumWindow(mainTables, i);
        windows_[std::size_t(SpectrumWindow::Hann)][i] = 0.5 - 0.5 * std::cos(x);
        windows_[std::size_t(SpectrumWindow::FlatTop)][i] =
            0.21557895 - 0.41663158 * std::cos(x) + 0.277263158 * std::cos(2 * x) -
            0.083578947 * std::cos(3 * x) + 0.006947368 * std::cos(4 * x);
        twiddles_[i] = {std::cos(x), -std::sin(x)};
    }
}

DbSpectrum DbTransform::Compute(const std::array<double, BlockSamples>& volts, double secondsPerSample,
                                SpectrumWindow window, DbScale scale) const {
    const auto& w = Window(window);
    double mean = 0, gain = 0;
    for (std::size_t i = 0; i < BlockSamples; ++i) {
        mean += volts[i];
        gain += w[i];
    }
    mean /= BlockSamples;
    std::array<Complex, BlockSamples> x, X;
    for (std::size_t i = 0; i < BlockSamples; ++i)
        x[i] = (volts[i] - mean) * w[i];
    Fft(x.data(), 1, N, X.data(), twiddles_.data(), 1);

    DbSpectrum s;
    s.binHz = 1 / (BlockSamples * secondsPerSample);
    for (std::size_t k = 0; k < DbBins; ++k) {
        // A sine of amplitude A gives A * gain / 2 at its bin; its RMS is A / sqrt 2. The mean
        // and half the sample rate have no mirror image and no such halving.
        const bool edge = k == 0 || k == DbBins - 1;
        const double rms = std::abs(X[k]) / gain * (edge ? 1 : std::numbers::sqrt2);
        s.level[k] = rms > 0 ? std::max(SilentDb, 20 * std::log10(rms)) : SilentDb;
    }
    s.peaks = HighestPeaks(s);
    s.noiseFloor = Median({s.level.begin() + 1, s.level.end()});
    if (scale == DbScale::Relative) {
        const double top = *std::max_element(s.level.begin(), s.level.end());
        for (double& v : s.level)
            v -= top;
        for (auto& p : s.peaks)
            p.level -= top;
        s.noiseFloor -= top;
    }
    return s;
}
