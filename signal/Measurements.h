#pragma once
// Measurements of one block for the read-outs: levels in volts and, from the
// crossings of the mean level, period, frequency and duty cycle.

#include "SampleBuffer.h"

#include <optional>
#include <string>

struct Measurements {
    double Vmin = 0, Vmax = 0, Vpp = 0; // volts
    double Mean = 0;                    // volts
    double Rms = 0;                     // volts, of the whole signal (DC included)
    std::optional<double> Period;       // seconds; empty when not measurable
    std::optional<double> Frequency;    // hertz
    std::optional<double> Duty;         // share of the period above the mean level, 0..1
};

// Samples 0..499 of a block taken at T/dz position timebase (0..15; the block
// spans 20 divisions). Throws std::out_of_range for another position.
Measurements Measure(const SampleBuffer& samples, int timebase);

// The read-out texts: "1kHz", "0,5ms", "4,99V", "50%"; "—" when not measurable.
struct MeasurementTexts {
    std::string Frequency, Period, Vpp, Vmin, Vmax, Mean, Rms, Duty;
};

MeasurementTexts TextsOf(const Measurements& m, const std::string& decimalSeparator = ",");
