#pragma once
// The V/dz and T/dz tables: scales and the fixed label texts of each position.

#include "Ranges.h"

#include <array>
#include <string>

struct VoltRow {
    const char* Text; // V/dz text of the status bar and dial
    double FullScaleVolts;
    int MvPerRow;
    int SpectrumDivisor;
    double VoltsPerRow;
};

struct TimebaseRow {
    const char* Text;             // T/dz text of the status bar and dial
    double TimePerPixelMs;        // one pixel column, in milliseconds
    std::array<const char*, 4> T; // t2..t5: 5, 10, 15 and 20 divisions
    std::array<const char*, 5> F; // F1..F5: 0, 25, 50, 75 and 100 cycles per block
};

extern const std::array<VoltRow, 4> VoltTable;
extern const std::array<TimebaseRow, 16> TimebaseTable;

// V1..V11, top to bottom: full scale, 0.9 of it ... 0.1 of it, then "0V"; each raised by the
// voltage at the view's bottom.
std::array<std::string, 11> VoltLabelTexts(double fullScaleVolts, const std::string& decimalSeparator,
                                           int positionMv = 0);

// The display scale of a T/dz position: time per pixel column in milliseconds
// for positions 0..5, in seconds from position 6 on.
TimeBase TimeBaseAt(int position);

// Seconds between two samples (one pixel column) at a T/dz position; throws
// std::out_of_range for a position outside the table.
double SecondsPerSample(int position);

// The captions under the time view (t1..t5) and under the spectrum (F1..F5)
// at a T/dz position; t1 always reads "0ms".
struct AxisLabels {
    std::array<std::string, 5> time;
    std::array<std::string, 5> frequency;
};
AxisLabels AxisLabelTexts(int position);
