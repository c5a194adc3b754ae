#pragma once
// The 500-bin magnitude spectrum of a block: mean removed, Hamming-type window
// from the cosine table, a direct transform with bins a fifth of a cycle per
// block apart. Results are bit-identical to the direct double sum.

#include "SampleBuffer.h"
#include "TransformTables.h"

#include <memory>

class BlockTransform {
  public:
    explicit BlockTransform(const TransformTables& tables);
    ~BlockTransform();
    BlockTransform(const BlockTransform&) = delete;
    BlockTransform& operator=(const BlockTransform&) = delete;

    void ComputeSpectrum(const SampleBuffer& samples, Spectrum& out) const;

  private:
    struct Precomputed;
    std::unique_ptr<Precomputed> pre_;
};
