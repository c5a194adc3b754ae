#include "RecordingIndex.h"

#include <algorithm>

RecordingIndex::RecordingIndex(std::size_t maxEntries) : maxEntries_(std::max<std::size_t>(maxEntries, 2)) {
    offsets_.reserve(maxEntries_);
}

void RecordingIndex::Add(std::uint64_t offset) {
    if (blocks_ % stride_ == 0) {
        if (offsets_.size() == maxEntries_) {
            // Keep blocks 0, 2 stride, 4 stride, ...: the entries halve, the stride doubles.
            for (std::size_t i = 0; 2 * i < offsets_.size(); ++i)
                offsets_[i] = offsets_[2 * i];
            offsets_.resize((offsets_.size() + 1) / 2);
            stride_ *= 2;
        }
        if (blocks_ % stride_ == 0)
            offsets_.push_back(offset);
    }
    ++blocks_;
}

RecordingIndex::Place RecordingIndex::Find(std::uint64_t block) const {
    return {offsets_[std::size_t(block / stride_)], block % stride_};
}
