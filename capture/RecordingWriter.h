#pragma once
// Appends blocks to a recording on disk, one write per block straight to the
// file (no buffering of our own), so a killed program loses at most the block
// being written. When a write fails (a full disk, a size limit) the file is cut
// back to its last whole block and the writer stops, saying why.

#include "CapturedBlock.h"

#include <cstdint>
#include <memory>
#include <string>

class RecordingWriter {
  public:
    // Creates or empties a regular file (a FIFO or a device is refused untouched);
    // nullptr with error set when it cannot.
    static std::unique_ptr<RecordingWriter> Create(const std::string& path, std::string& error);
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // False once a write has failed: nothing more is written and Error() says why.
    bool Append(const CapturedBlock& block);
    bool Failed() const { return !error_.empty(); }
    const std::string& Error() const { return error_; }
    std::uint64_t Bytes() const { return bytes_; } // whole blocks and the preamble
    std::uint64_t Blocks() const { return blocks_; }

  private:
    explicit RecordingWriter(int fd) : fd_(fd) {}
    bool WriteAll(const std::string& data);
    int fd_;
    std::string line_; // reused: no allocation per block
    std::uint64_t bytes_ = 0;
    std::uint64_t blocks_ = 0;
    std::string error_;
};

// Polish text of a failed write or open.
std::string WriteErrorText(int error);
