#pragma once
// Reads a recording back block by block through a buffer of fixed size, so a
// recording of any length streams into whatever the caller keeps. Only a regular
// file is read (a FIFO or a device is refused without waiting), and a line longer
// than any a recording holds is damage.

#include "CapturedBlock.h"

#include <cstdint>
#include <functional>
#include <string>

struct RecordingRead {
    bool recording = false;   // the file is a recording at all
    std::uint64_t blocks = 0; // whole blocks handed on
    bool cutShort = false;    // a last block ends early (a crash or a full disk while recording)
    bool stopped = false;     // the caller stopped the reading
    std::string error;        // Polish; empty when every block was whole
};

// Each whole block and the file offset where its text starts; returning false stops the reading.
using RecordedBlockFound = std::function<bool(const CapturedBlock& block, std::uint64_t offset)>;

// From the start of the recording open as fd.
RecordingRead ReadRecording(int fd, const RecordedBlockFound& onBlock);
// Opens the file by name first.
RecordingRead ReadRecording(const std::string& path, const RecordedBlockFound& onBlock);

// The block `skip` whole blocks after the one whose text starts at offset; false when the
// file no longer holds a whole block there (it changed since it was read).
bool ReadRecordedBlock(int fd, std::uint64_t offset, std::uint64_t skip, CapturedBlock& block);
