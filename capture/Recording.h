#pragma once
// A recording opened for looking back: its file stays open and indexed, and a block
// is read from it when it is asked for, so memory does not grow with its length.

#include "CapturedBlock.h"
#include "RecordingIndex.h"
#include "RegularFile.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class Recording {
  public:
    struct Opened {
        std::unique_ptr<Recording> recording; // null when nothing can be shown
        std::string error;                    // why not, or a note on what was left out
        bool stopped = false;
    };
    // Reads the whole file once to index it. `bytesRead` follows the reading for a progress
    // display, of `fileBytes`; setting `stop` ends it early, with no recording.
    static Opened Open(const std::string& path, const std::atomic<bool>& stop,
                       std::atomic<std::uint64_t>& bytesRead, std::atomic<std::uint64_t>& fileBytes);

    std::uint64_t Size() const { return index_.Size(); }
    // False when the file no longer holds the block where it was (it changed on disk).
    bool Read(std::uint64_t i, CapturedBlock& block) const;

  private:
    Recording(FileHandle file, RecordingIndex index) : file_(std::move(file)), index_(std::move(index)) {}
    FileHandle file_;
    RecordingIndex index_;
};
