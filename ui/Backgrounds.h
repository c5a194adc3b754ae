#pragma once
// The ten background pictures of the two views, drawn by the program: a tint,
// grid lines every 25 pixels (division lines), darkened edges; the time view
// also has a darker centre cross with 5-pixel ticks.

#include <QImage>

inline constexpr int BackgroundCount = 5; // pictures for each view

// Index 0..4: green, blue, red, yellow, grey; 500 x 250.
QImage TimeBackgroundPicture(int index);
// Index 0..4: grey, maroon, olive, blue, green; 500 x 125.
QImage SpectrumBackgroundPicture(int index);
