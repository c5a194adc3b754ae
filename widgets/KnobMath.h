#pragma once
// The knob's arithmetic: whole percents of the range and whole degrees, each
// step truncated, in 80-bit extended precision (long double on x86-64).

struct KnobGeometry {
    int minValue = 0;
    int maxValue = 100;
    int baseAngle = 0; // half the dead zone at the bottom, degrees
    int radius = 40;   // the handle travels on radius - 10
    int width = 85;
    int height = 85;
};

struct KnobPoint {
    int x = 0;
    int y = 0;
    bool operator==(const KnobPoint&) const = default;
};

// Trunc(v * 100 / range), 0 when range is 0.
int ValueToPercent(int v, int range);
// Trunc(range * (p * 0.01)) with the extended value nearest 1/100 (slightly below it):
// PercentToValue(20, 15) is 2, not 3.
int PercentToValue(int p, int range);
// Degrees clockwise from straight up at which the handle of a position is drawn.
int KnobHandleAngle(const KnobGeometry& g, int position);
KnobPoint KnobHandleCentre(const KnobGeometry& g, int position);
// The angle a pointer selects, in degrees clockwise from straight down, before clamping.
double KnobPointerAngle(const KnobGeometry& g, int x, int y);
// The position a pointer at (x, y), control coordinates, selects.
int KnobPointerPosition(const KnobGeometry& g, int x, int y);
