#pragma once
// The most recent blocks in arrival order, at most Capacity() of them: a ring
// that allocates only while it grows to its capacity, so its memory stays flat.

#include "CapturedBlock.h"

#include <cstddef>
#include <vector>

class History {
  public:
    explicit History(std::size_t capacity) : capacity_(capacity) {}

    std::size_t Capacity() const { return capacity_; }
    // Keeps the newest blocks that fit; 0 turns the history off.
    void SetCapacity(std::size_t capacity);
    std::size_t Size() const { return blocks_.size(); }
    bool Empty() const { return blocks_.empty(); }
    // At capacity the oldest block makes room; with capacity 0 nothing is kept.
    void Add(const CapturedBlock& block);
    const CapturedBlock& At(std::size_t i) const; // 0 is the oldest; throws out of range
    void Clear();

  private:
    std::vector<CapturedBlock> blocks_;
    std::size_t oldest_ = 0; // index in blocks_ of block 0 once the ring is full
    std::size_t capacity_;
};
