#pragma once
// All program state, owned by the application and shared by its windows.
// Everything here is touched on the GUI thread only.

#include "AcquisitionState.h"
#include "Markers.h"
#include "Ranges.h"
#include "SampleBuffer.h"
#include "Settings.h"
#include "SpectrumTables.h"
#include "SpectrumTransform.h"
#include "TriggerState.h"

#include <memory>

struct ProgramState {
    Settings settings;
    AcquisitionState acq;
    TriggerState trigger;
    VoltRange volt;
    Markers markers;
    TimeBase time;
    SampleBuffer samples{};
    Spectrum spectrum{};
    SpectrumTables tables;
    std::unique_ptr<SpectrumTransform> transform; // built with the tables at start
};
