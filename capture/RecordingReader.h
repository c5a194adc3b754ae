#pragma once
// Reads a recording back block by block, never holding more than one line, so
// a recording of any length streams into whatever the caller keeps.

#include "CapturedBlock.h"

#include <cstdint>
#include <functional>
#include <string>

struct RecordingRead {
    bool recording = false;   // the file is a recording at all
    std::uint64_t blocks = 0; // whole blocks handed on
    bool cutShort = false;    // a last block ends early (a crash or a full disk while recording)
    std::string error;        // Polish; empty when every block was whole
};

RecordingRead ReadRecording(const std::string& path,
                            const std::function<void(const CapturedBlock&)>& onBlock);
