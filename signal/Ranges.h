#pragma once
// The display scales chosen with the V/dz and T/dz knobs, at their start values.

#include <string>

struct VoltRange {
    double FullScaleVolts = 10; // volts at the top of the time view
    int MvPerRow = 40;          // millivolts per pixel row
    int SpectrumDivisor = 10;   // spectrum value per pixel row
    double VoltsPerRow = 0.04;
};

struct TimeBase {
    double TimePerPixel = 0.004; // time of one pixel column, in TimeUnit
    std::string TimeUnit = "ms";
};
