#pragma once
// What the acquisition cycle sees of drganik-rec: the knobs as the command line
// set them, and the notes a window would show (no answer, waiting for a trigger,
// the device missing) kept for the progress line and the exit status.

#include "AcquisitionView.h"

class RecorderViews final : public ControlsView, public ScreenView {
  public:
    int timebase = 0;
    bool startEnabled = false; // the probe went out (and, once its countdown is 0, was answered)
    bool probeFailed = false;
    bool waitingForTrigger = false;
    bool deviceMissing = false;

    int TimebasePosition() const override { return timebase; }
    int VoltPosition() const override { return 0; } // no V/dz knob: the samples are kept as they come
    void SetStartStop(bool start, bool) override { startEnabled = start; }
    void ReleaseConnectButton() override {}
    void HideMarkers() override {}
    void EnableMarkerButtons() override {}
    void ShowProbeFailure() override { probeFailed = true; }
    void Pause(int ms) override;

    void ShowProgress(int) override {}
    void SetRecoveryCaption(bool) override {}
    void PlaceTriggerLine() override {}
    void ApplyTimebaseDisplay(int) override {}
    void SetFastTracePen() override {}
    void DrawFastTrace() override {}
    void ShowFastTrace() override {}
    void BeginProgressiveBlock() override {}
    void DrawProgressiveTrace() override {}
    void DrawSpectrum() override {}
    void BlockComplete(int) override {}
    void SetWaitingForTrigger(bool waiting) override { waitingForTrigger = waiting; }
    void SetDeviceMissing(bool missing) override { deviceMissing = missing; }
};
