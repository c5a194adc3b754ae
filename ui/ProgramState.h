#pragma once
// All program state, owned by the application and shared by its windows.
// Everything here is touched on the GUI thread only.

#include "AcquisitionState.h"
#include "BlockTransform.h"
#include "Markers.h"
#include "Ranges.h"
#include "SampleBuffer.h"
#include "Settings.h"
#include "TransformTables.h"
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
    TransformTables tables;
    std::unique_ptr<BlockTransform> transform; // built with the tables at start
};
