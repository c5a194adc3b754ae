#pragma once
// The printed page: both views in black on white, scaled by one integer
// factor from the page width, with grids, scales, titles and the two curves.

#include "SampleBuffer.h"

#include <QString>
#include <array>

class QPainter;

struct PrintInputs {
    const SampleBuffer* samples = nullptr;
    const Spectrum* spectrum = nullptr;
    double FullScaleVolts = 10;
    int MvPerRow = 40;
    int SpectrumDivisor = 10;
    int LW = 1;
    std::array<QString, 5> timeLabels;    // captions of t1..t5
    std::array<QString, 5> freqLabels;    // captions of F1..F5
    std::array<QString, 4> percentLabels; // captions of Label3..Label6
    QString decimalSeparator = QStringLiteral(",");
};

// Page width in device pixels div 500.
int PrintScale(int pageWidth);

// Draws the page on a painter whose device is pageWidth pixels wide.
void PrintViews(QPainter& p, int pageWidth, const PrintInputs& in);
