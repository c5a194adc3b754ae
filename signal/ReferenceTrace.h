#pragma once
// A kept block to compare the live one with: its samples, what it was taken
// with and the label it is shown under. Plain data, so the session can keep it.

#include "SampleBuffer.h"

#include <string>

struct ReferenceTrace {
    SampleBuffer samples{}; // words 0..499 are the block
    int timebase = 0;       // T/dz position it was taken at: its time scale
    int voltPosition = 0;   // V/dz position it was shown at
    std::string label;
    bool operator==(const ReferenceTrace&) const = default;
};
