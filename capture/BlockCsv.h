#pragma once
// Blocks as tables for spreadsheets and scripts, one block after another so a
// recording of any length streams: every sample with its block's number and time,
// or one line of measurements per block. "." as decimal separator and "," between
// columns whatever the locale; an empty field where a value cannot be measured.

#include "CapturedBlock.h"

#include <cstdint>
#include <string>

// The header line of the sample table: block, block time (ms since 1970, UTC), t [s], U [V].
std::string BlockCsvHeader();
// The block's 500 rows, appended to out; t counts from the block's first sample.
void AppendBlockCsv(std::string& out, std::uint64_t number, const CapturedBlock& block);

// The header line of the measurement table: block, block time, then the read-outs of "Pomiary".
std::string MeasureCsvHeader();
// One line of the block's measurements, appended to out.
void AppendMeasureCsv(std::string& out, std::uint64_t number, const CapturedBlock& block);
