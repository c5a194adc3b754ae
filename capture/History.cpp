#include "History.h"

#include <algorithm>
#include <stdexcept>

void History::SetCapacity(std::size_t capacity) {
    std::rotate(blocks_.begin(), blocks_.begin() + std::ptrdiff_t(oldest_), blocks_.end());
    oldest_ = 0;
    if (blocks_.size() > capacity)
        blocks_.erase(blocks_.begin(), blocks_.end() - std::ptrdiff_t(capacity));
    capacity_ = capacity;
    blocks_.shrink_to_fit();
}

void History::Add(const CapturedBlock& block) {
    if (capacity_ == 0)
        return;
    if (blocks_.size() < capacity_) {
        blocks_.push_back(block);
        return;
    }
    blocks_[oldest_] = block;
    oldest_ = (oldest_ + 1) % blocks_.size();
}

const CapturedBlock& History::At(std::size_t i) const {
    if (i >= blocks_.size())
        throw std::out_of_range("History::At");
    return blocks_[(oldest_ + i) % blocks_.size()];
}

void History::Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    oldest_ = 0;
}
