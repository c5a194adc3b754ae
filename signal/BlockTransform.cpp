#include "BlockTransform.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

// Table values laid out sample-major, bins contiguous: each bin still sums
// its terms in sample order, so the result equals the direct loop bit for bit,
// while the inner loop runs over independent bins and vectorises.
struct BlockTransform::Precomputed {
    std::vector<float> cos; // [i * 500 + k] = CosTable[trunc(k * i / 5) mod 500]
    std::vector<float> sin;
    std::array<double, 500> window{};
};

BlockTransform::BlockTransform(const TransformTables& t) : pre_(std::make_unique<Precomputed>()) {
    pre_->cos.resize(500 * 500);
    pre_->sin.resize(500 * 500);
    for (int i = 0; i < 500; ++i) {
        pre_->window[std::size_t(i)] = 0.54 - 0.46 * double(t.CosTable[std::size_t(i)]);
        for (int k = 0; k < 500; ++k) {
            const auto index = std::size_t(((k * i) / 5) % 500);
            pre_->cos[std::size_t(i * 500 + k)] = t.CosTable[index];
            pre_->sin[std::size_t(i * 500 + k)] = t.SinTable[index];
        }
    }
}

BlockTransform::~BlockTransform() = default;

// ThreadSanitizer's runtime is not up yet when clone resolvers run at load time.
#if defined(DRGANIK_NO_CLONES)
#define SPECTRUM_CLONES
#else
#define SPECTRUM_CLONES __attribute__((target_clones("avx2", "default")))
#endif

namespace {

// Adds the terms of samples i and i + 1 to every bin, in that order. Cloned for
// AVX2 where the processor has it: the same IEEE operations, twice as wide.
SPECTRUM_CLONES void AddTwoSamples(double* __restrict re, double* __restrict im, const float* __restrict cos0,
                                   const float* __restrict sin0, double d0, double w0, double d1, double w1) {
    const float* cos1 = cos0 + 500;
    const float* sin1 = sin0 + 500;
    for (int k = 0; k < 500; ++k) {
        re[k] = (re[k] + d0 * double(cos0[k]) * w0) + d1 * double(cos1[k]) * w1;
        im[k] = (im[k] + d0 * double(sin0[k]) * w0) + d1 * double(sin1[k]) * w1;
    }
}

} // namespace

void BlockTransform::ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const {
    std::int32_t sum = 0;
    for (int i = 0; i < 500; ++i)
        sum += samples[std::size_t(i)];
    const std::int32_t mean = sum / 500;

    alignas(32) double re[500] = {};
    alignas(32) double im[500] = {};
    const auto d = [&](int i) { return double(std::int32_t(samples[std::size_t(i)]) - mean); };
    for (int i = 0; i < 500; i += 2)
        AddTwoSamples(re, im, &pre_->cos[std::size_t(i * 500)], &pre_->sin[std::size_t(i * 500)], d(i),
                      pre_->window[std::size_t(i)], d(i + 1), pre_->window[std::size_t(i + 1)]);
    for (int k = 0; k < 500; ++k)
        out[std::size_t(k)] = std::int32_t(std::int64_t(std::sqrt(re[k] * re[k] + im[k] * im[k])) / 58);
}
