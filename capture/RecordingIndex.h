#pragma once
// Where the blocks of a recording start, in memory that stays within a fixed number
// of entries whatever the recording's length: every stride-th block's offset is
// kept, and when the entries run out every second one goes and the stride doubles.
// A block is then found from the kept one before it by reading on.

#include <cstddef>
#include <cstdint>
#include <vector>

class RecordingIndex {
  public:
    explicit RecordingIndex(std::size_t maxEntries = 1 << 16);

    // The next block, in order, starts at offset.
    void Add(std::uint64_t offset);
    std::uint64_t Size() const { return blocks_; }

    struct Place {
        std::uint64_t offset; // a kept block at or before the one asked for
        std::uint64_t skip;   // whole blocks from there to it
    };
    Place Find(std::uint64_t block) const; // block < Size()

    std::size_t Entries() const { return offsets_.size(); }

  private:
    std::size_t maxEntries_;
    std::vector<std::uint64_t> offsets_; // of blocks 0, stride, 2 stride, ...
    std::uint64_t stride_ = 1;
    std::uint64_t blocks_ = 0;
};
