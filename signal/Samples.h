#pragma once
// From received bytes to samples and from samples to pixel rows.

#include "SampleBuffer.h"

#include <string>

enum class Rounding { Truncate, Nearest };

// Rows above the bottom of the time view: (sample * 9.765625 mV, made an
// integer) div mvPerRow. Live drawing truncates; repaints round, ties to even.
int SampleToRow(std::uint16_t sample, Rounding rounding, int mvPerRow);
// The same row in a view whose bottom stands at positionMv, a multiple of mvPerRow: below the
// view the rows are negative.
int SampleToRow(std::uint16_t sample, Rounding rounding, int mvPerRow, int positionMv);

// A complete fast-mode block: the first 1000 bytes become words 0..499; bytes
// missing from a block taken at 998 or 999 bytes read as zero.
void DecodeBlock(const std::string& rx, SampleBuffer& samples);

// The part received so far, copied byte by byte (never more than the buffer's
// 2000 bytes): an odd count leaves the last word's high byte as it was.
void CopyReceived(const std::string& rx, SampleBuffer& samples);
