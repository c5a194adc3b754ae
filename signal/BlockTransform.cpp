#include "BlockTransform.h"

#include <cmath>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SPECTRUM_X86 1
#endif

// Every bin still sums its terms in sample order with the same IEEE double
// operations as the direct loop, so the result is equal bit for bit. What is
// different is where the sines and cosines come from. A 500 x 500 table of
// them (2 MB) is quick while it stays in the caches, but the rest of the cycle
// evicts it and it came back from memory for every block. Here the table index
// of bin k at sample i, trunc(k * i / 5) mod 500 = (k * i mod 2500) / 5,
// follows from a running k * i mod 2500 per bin, and only the 8 KB pair table
// is read: a little slower warm, much quicker in the running program.

namespace {

using Positions = std::array<std::uint16_t, 500>; // 2 * table index of each bin

// Positions of every bin for samples i and i + 1, and the phases moved on to
// sample i + 2. phase[k] = k * i mod 2500 on entry.
inline void NextPositions(std::array<std::uint16_t, 500>& phase, Positions& first, Positions& second) {
    for (int k = 0; k < 500; ++k) {
        const auto step = std::uint16_t(k);
        std::uint16_t m = phase[std::size_t(k)];
        first[std::size_t(k)] = std::uint16_t(m / 5 * 2);
        m = std::uint16_t(m + step >= 2500 ? m + step - 2500 : m + step);
        second[std::size_t(k)] = std::uint16_t(m / 5 * 2);
        m = std::uint16_t(m + step >= 2500 ? m + step - 2500 : m + step);
        phase[std::size_t(k)] = m;
    }
}

struct Sample {
    double d; // sample minus the mean
    double w; // window at the sample's position
};

void AddTwoSamples(double* re, double* im, const double* pairs, const Positions& p0, Sample s0,
                   const Positions& p1, Sample s1) {
    for (std::size_t k = 0; k < 500; ++k) {
        re[k] = (re[k] + s0.d * pairs[p0[k]] * s0.w) + s1.d * pairs[p1[k]] * s1.w;
        im[k] = (im[k] + s0.d * pairs[p0[k] + 1] * s0.w) + s1.d * pairs[p1[k] + 1] * s1.w;
    }
}

#if defined(SPECTRUM_X86)
// Twice as wide as the baseline instruction set allows, and that loop is a
// good part of the time.
__attribute__((target("avx2"))) void NextPositionsAvx2(std::array<std::uint16_t, 500>& phase,
                                                       Positions& first, Positions& second) {
    NextPositions(phase, first, second);
}

// The same operations four bins wide. The four (cos, sin) pairs are loaded
// whole and transposed: gathers are slower than this on current processors.
__attribute__((target("avx2"))) void AddTwoSamplesAvx2(double* re, double* im, const double* pairs,
                                                       const Positions& p0, Sample s0, const Positions& p1,
                                                       Sample s1) {
    const __m256d d0 = _mm256_set1_pd(s0.d), w0 = _mm256_set1_pd(s0.w);
    const __m256d d1 = _mm256_set1_pd(s1.d), w1 = _mm256_set1_pd(s1.w);
    for (std::size_t k = 0; k < 500; k += 4) {
        __m256d r = _mm256_loadu_pd(re + k), m = _mm256_loadu_pd(im + k);
        // a = c0 s0 c2 s2, b = c1 s1 c3 s3 of bins k..k+3.
        __m256d a = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + p0[k])),
                                         _mm_loadu_pd(pairs + p0[k + 2]), 1);
        __m256d b = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + p0[k + 1])),
                                         _mm_loadu_pd(pairs + p0[k + 3]), 1);
        r = _mm256_add_pd(r, _mm256_mul_pd(_mm256_mul_pd(d0, _mm256_unpacklo_pd(a, b)), w0));
        m = _mm256_add_pd(m, _mm256_mul_pd(_mm256_mul_pd(d0, _mm256_unpackhi_pd(a, b)), w0));
        a = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + p1[k])),
                                 _mm_loadu_pd(pairs + p1[k + 2]), 1);
        b = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(pairs + p1[k + 1])),
                                 _mm_loadu_pd(pairs + p1[k + 3]), 1);
        r = _mm256_add_pd(r, _mm256_mul_pd(_mm256_mul_pd(d1, _mm256_unpacklo_pd(a, b)), w1));
        m = _mm256_add_pd(m, _mm256_mul_pd(_mm256_mul_pd(d1, _mm256_unpackhi_pd(a, b)), w1));
        _mm256_storeu_pd(re + k, r);
        _mm256_storeu_pd(im + k, m);
    }
}
#endif

} // namespace

BlockTransform::BlockTransform(const TransformTables& t, bool useAvx2) {
    for (std::size_t j = 0; j < 500; ++j) {
        pairs_[2 * j] = double(t.CosTable[j]);
        pairs_[2 * j + 1] = double(t.SinTable[j]);
        window_[j] = 0.54 - 0.46 * double(t.CosTable[j]);
    }
#if !defined(SPECTRUM_X86)
    (void)useAvx2;
#else
    __builtin_cpu_init();
    avx2_ = useAvx2 && __builtin_cpu_supports("avx2");
#endif
}

void BlockTransform::ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < 500; ++i)
        sum += samples[i];
    const std::int32_t mean = sum / 500;
    const auto sample = [&](std::size_t i) {
        return Sample{double(std::int32_t(samples[i]) - mean), window_[i]};
    };

    alignas(32) double re[500] = {};
    alignas(32) double im[500] = {};
    std::array<std::uint16_t, 500> phase{};
    Positions p0, p1;
    for (std::size_t i = 0; i < 500; i += 2) {
#if defined(SPECTRUM_X86)
        if (avx2_) {
            NextPositionsAvx2(phase, p0, p1);
            AddTwoSamplesAvx2(re, im, pairs_.data(), p0, sample(i), p1, sample(i + 1));
            continue;
        }
#endif
        NextPositions(phase, p0, p1);
        AddTwoSamples(re, im, pairs_.data(), p0, sample(i), p1, sample(i + 1));
    }
    for (std::size_t k = 0; k < 500; ++k)
        out[k] = std::int32_t(std::int64_t(std::sqrt(re[k] * re[k] + im[k] * im[k])) / 58);
}
