#pragma once
// The running mean of the last blocks taken with the same settings: each block
// adds its samples and takes off those of the block that leaves the window, so
// a block costs O(500) whatever the length. A change of settings restarts it.

#include "SampleBuffer.h"

#include <array>
#include <vector>

// What a block was taken with: blocks average only with blocks of the same.
struct BlockSettings {
    int timebase = 0;
    int voltPosition = 0;
    int triggerMode = 0;
    int triggerLevel = 0;
    bool operator==(const BlockSettings&) const = default;
};

class BlockAverage {
  public:
    static constexpr int MinLength = 2;
    static constexpr int MaxLength = 256;

    // Blocks in the mean once it is full, limited to MinLength..MaxLength; a change restarts it.
    void SetLength(int length);
    int Length() const { return length_; }
    void Restart();
    // Samples 0..499 of a block; a block taken with other settings than the last restarts the mean.
    void Add(const SampleBuffer& samples, const BlockSettings& taken);
    int Reached() const { return reached_; } // blocks in the mean now, up to Length()
    // The mean of sample i in converter steps (0 before the first block).
    double At(int i) const { return reached_ ? double(sum_[std::size_t(i)]) / reached_ : 0.0; }
    // The mean rounded to whole steps, for what measures a SampleBuffer.
    SampleBuffer Rounded() const;

  private:
    using Block = std::array<std::uint16_t, 500>;
    int length_ = 16;
    std::vector<Block> ring_; // the blocks in the mean, oldest at next_ once full
    std::array<std::int32_t, 500> sum_{};
    int next_ = 0;
    int reached_ = 0;
    BlockSettings settings_;
};
