#pragma once
// What "Zapisz" writes, chosen by the name's extension: a CSV table, a PNG picture of the
// views, or else a data file.

#include "SampleBuffer.h"

#include <QImage>
#include <QString>
#include <functional>
#include <string>

struct SaveSources {
    const SampleBuffer& samples;
    int shownTimebase;               // the block's own: the CSV's time column
    int knobTimebase;                // the T/dz knob's: what a data file records
    std::function<QImage()> picture; // drawn only when a picture is asked for
};

// The bytes to write to `name`; empty when they could not be made.
std::string SavedFileContent(const QString& name, const SaveSources& from);
