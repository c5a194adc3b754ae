#pragma once
// The two measurement markers: where each stands, the heights of their
// samples, and the places and texts of the distance bars and read-outs.

#include "Ranges.h"
#include "SampleBuffer.h"

#include <string>

struct Markers {
    int MarkerAX = 0, MarkerBX = 0;           // columns, 0..500
    int MarkerAHeight = 0, MarkerBHeight = 0; // rows of their samples, not limited
    int MarkerAShown = 0, MarkerBShown = 0;   // the same, limited to 250 for drawing
};

enum class Marker { A, B };

// Where the marker items go after one marker is placed.
struct MarkerItems {
    int markerLeft; // the placed marker's vertical line picture
    int levelTop;   // the placed marker's level line picture
    int barXLeft, barXWidth;
    int barYTop, barYHeight;
    int labelXLeft;
    std::string labelXText;
    int labelYTop;
    std::string labelYText;
};

// The view's bottom stands at positionMv, a multiple of the range's millivolts per row.
MarkerItems PlaceMarker(Markers& m, Marker which, int x, const SampleBuffer& samples, const VoltRange& volt,
                        const TimeBase& time, const std::string& decimalSeparator, int positionMv = 0);

// First index of the smallest and of the largest of samples 0..499.
struct Extremes {
    int min;
    int max;
};
Extremes FindExtremes(const SampleBuffer& samples);

// The pointer read-out: X columns in time, Y rows from the bottom in volts.
std::string PointerTimeText(int x, const TimeBase& time, const std::string& decimalSeparator);
std::string PointerVoltText(int y, const VoltRange& volt, const std::string& decimalSeparator,
                            int positionMv = 0);
