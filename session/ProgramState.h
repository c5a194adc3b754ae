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
    // The settings as read at start; the spectrum tables and the transform built from them.
    explicit ProgramState(const Settings& read) : settings(read), transform(Built(tables)) {}
    ProgramState(const ProgramState&) = delete; // the transform refers to the tables
    ProgramState& operator=(const ProgramState&) = delete;

    Settings settings;
    AcquisitionState acq;
    TriggerState trigger;
    VoltRange volt;
    int positionMv = 0; // the voltage at the bottom of the time view, in millivolts
    Markers markers;
    TimeBase time;
    SampleBuffer samples{};
    Spectrum spectrum{};
    TransformTables tables;
    std::unique_ptr<BlockTransform> transform; // built with the tables at start

  private:
    static std::unique_ptr<BlockTransform> Built(TransformTables& tables) {
        BuildSpectrumTables(tables);
        return std::make_unique<BlockTransform>(tables);
    }
};
