#pragma once
// The printed page: both views in black on white, scaled by the largest
// integer factor that keeps the whole drawing on the page, with grids, scales,
// titles and the two curves.

#include "SampleBuffer.h"

#include <QSize>
#include <QString>
#include <array>

class QPainter;

struct PrintInputs {
    const SampleBuffer* samples = nullptr;
    const Spectrum* spectrum = nullptr;
    double FullScaleVolts = 10;
    int MvPerRow = 40;
    int PositionMv = 0; // the voltage at the time view's bottom
    int SpectrumDivisor = 10;
    int LW = 1;
    std::array<QString, 5> timeLabels;    // captions of t1..t5
    std::array<QString, 5> freqLabels;    // captions of F1..F5
    std::array<QString, 4> percentLabels; // captions of Label3..Label6
    QString decimalSeparator = QStringLiteral(",");
};

// Draws the page on a painter whose device's printable area is `page` pixels.
void PrintViews(QPainter& p, QSize page, const PrintInputs& in);
