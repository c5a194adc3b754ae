#pragma once
// The 500-bin magnitude spectrum of a block: mean removed, Hamming-type window
// from the cosine table, a direct transform with bins a fifth of a cycle per
// block apart. Results are bit-identical to the direct double sum.

#include "SampleBuffer.h"
#include "SpectrumTables.h"

#include <memory>

class SpectrumTransform {
  public:
    explicit SpectrumTransform(const SpectrumTables& tables);
    ~SpectrumTransform();
    SpectrumTransform(const SpectrumTransform&) = delete;
    SpectrumTransform& operator=(const SpectrumTransform&) = delete;

    void ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const;

  private:
    struct Precomputed;
    std::unique_ptr<Precomputed> pre_;
};
