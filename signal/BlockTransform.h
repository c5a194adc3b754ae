#pragma once
// The 500-bin magnitude spectrum of a block: mean removed, Hamming-type window
// from the cosine table, a direct transform with bins a fifth of a cycle per
// block apart. Results are bit-identical to the direct double sum.

#include "SampleBuffer.h"
#include "TransformTables.h"

#include <array>
#include <cstddef>

// The spectrum's window at sample i, a Hamming-type one from the cosine table.
inline double MainSpectrumWindow(const TransformTables& t, std::size_t i) {
    return 0.54 - 0.46 * double(t.CosTable[i]);
}

class BlockTransform {
  public:
    // Without useAvx2 the portable loop runs even where the processor has AVX2.
    explicit BlockTransform(const TransformTables& tables, bool useAvx2 = true);

    void ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const;

  private:
    alignas(64) std::array<double, 2000> pairs_{}; // cos and sin of entry j mod 500 at 2j and 2j + 1
    std::array<double, 500> window_{};
    bool avx2_ = false;
};
