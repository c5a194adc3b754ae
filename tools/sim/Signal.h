#pragma once
// The voltage the simulated instrument measures, as a function of time.

#include <cstdint>
#include <string>

struct SignalShape {
    std::string kind = "sine"; // sine, square, triangle, noise
    double frequency = 1000;   // Hz
    double amplitude = 3;      // V
    double offset = 5;         // V
    std::uint32_t seed = 1;
    double noise = 0; // V: the converter's own noise, up to this much either way on each reading
};

// Volts at time t (seconds).
double Volts(const SignalShape& s, double t);
// The converter's noise on a reading taken at time t: the trigger, which compares the signal
// itself, never sees it.
double ConverterNoise(const SignalShape& s, double t);
// The 10-bit reading of a voltage on the 0..10 V scale (1024 counts).
std::uint16_t Counts(double volts);
