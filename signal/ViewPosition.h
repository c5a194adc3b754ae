#pragma once
// The time view's vertical position: the voltage at its bottom, in millivolts,
// kept on whole rows of the range and inside the instrument's 0..10 V; and
// where a trace leaves the view.

#include "SampleBuffer.h"

#include <optional>

inline constexpr int InstrumentTopMv = 10000; // the instrument measures 0..10 V

// The nearest position the view can take at this range: a multiple of mvPerRow,
// from 0 to where the view's top reaches 10 V.
int ClampPosition(int positionMv, int mvPerRow, double fullScaleVolts);
// One division of the view at this range.
int DivisionMv(int mvPerRow);

// The trigger level position (1..1023) at a row of the view.
int LevelAtRow(int row, int mvPerRow, int positionMv);

// Where samples 0..count-1 leave the view: the highest above it, the lowest below it, in volts.
struct OutOfView {
    std::optional<double> aboveVolts;
    std::optional<double> belowVolts;
};
OutOfView TraceOutOfView(const SampleBuffer& samples, int count, int mvPerRow, int positionMv);
