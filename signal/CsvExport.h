#pragma once
// A block as a table for spreadsheets and scripts: a header line, then one row
// per sample of time in seconds and voltage in volts, "." as decimal separator
// and "," between the columns, whatever the user's locale.

#include "SampleBuffer.h"

#include <array>
#include <string>

// Samples 0..499 at T/dz position timebase (0..15). Throws std::out_of_range for another position.
std::string FormatCsv(const SampleBuffer& samples, int timebase);
// The same table for a block in volts that need not be whole steps (an averaged one).
std::string FormatCsv(const std::array<double, BlockSamples>& volts, int timebase);
