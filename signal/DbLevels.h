#pragma once
// A block's spectrum in decibels: the discrete Fourier transform of the 500 samples
// in volts (mean removed, windowed), amplitudes scaled so that a sine reads its
// RMS level at its bin, the three highest peaks and the noise floor.

#include "SampleBuffer.h"
#include "TransformTables.h"

#include <array>
#include <complex>
#include <vector>

using Complex = std::complex<double>;

inline constexpr int DbBins = BlockSamples / 2 + 1; // 0 .. half the sample rate

// Main: the main window's spectrum's window; FlatTop reads a sine's amplitude
// right wherever it falls between two bins.
enum class SpectrumWindow { Main, Hann, FlatTop };
// Dbv: relative to 1 V RMS; Relative: to the largest bin.
enum class DbScale { Dbv, Relative };

struct SpectrumPeak {
    int bin;
    double frequency; // Hz
    double level;     // dB
};

struct DbSpectrum {
    std::array<double, DbBins> level{}; // dB, bin k at k * binHz
    double binHz = 0;
    std::vector<SpectrumPeak> peaks; // up to three, the highest first
    double noiseFloor = 0;           // dB: the median bin
};

inline constexpr double SilentDb = -200; // what a bin with nothing in it reads

class DbTransform {
  public:
    // mainTables: the main window's spectrum tables, for its window.
    explicit DbTransform(const TransformTables& mainTables);

    DbSpectrum Compute(const std::array<double, BlockSamples>& volts, double secondsPerSample,
                       SpectrumWindow window, DbScale scale) const;
    const std::array<double, BlockSamples>& Window(SpectrumWindow w) const {
        return windows_[std::size_t(w)];
    }

  private:
    std::array<std::array<double, BlockSamples>, 3> windows_{};
    std::array<Complex, BlockSamples> twiddles_{}; // exp(-2 pi i j / 500)
};
