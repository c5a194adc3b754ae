#pragma once
// Drawing of the trace and the spectrum onto canvases, as the views show them.

#include "Canvas.h"
#include "SampleBuffer.h"
#include "Samples.h"

// Samples 0..498 in the 500 x 250 time view's own coordinates: sample 0 at
// column 0, sample i at column i + 1; rows not clipped (onto a canvas whose
// view is set to it, or a picture of the view's size). The view's bottom stands at
// positionMv, a multiple of mvPerRow.
void DrawTrace(Canvas& view, const SampleBuffer& samples, Rounding rounding, int mvPerRow, int positionMv);

// The part of a progressive block received so far, straight onto the window
// at the time view's place, rows clipped to the top and the bottom row; the
// newest complete sample is held back.
void DrawProgressiveTrace(Canvas& window, const SampleBuffer& samples, int rxLength, Rounding rounding,
                          int mvPerRow, int positionMv);

// Bars (filled) or a line in the 500 x 125 spectrum view's own coordinates, heights not
// clipped: onto a canvas whose view is set to it, or a picture of the view's size.
void DrawSpectrumLines(Canvas& view, const Spectrum& spectrum, int divisor, bool filled);

// The scale tick marks beside and under both views, in black at the given width.
void DrawTickMarks(Canvas& window, int width);
