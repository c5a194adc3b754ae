#pragma once
// What the acquisition cycle sees while no window is attached: knobs held as
// plain positions, a probe failure told through a callback, the notes a window
// would show (waiting for a trigger, the device missing) kept as flags, nothing drawn.

#include "AcquisitionView.h"

#include <functional>

class HeadlessViews final : public ControlsView, public ScreenView {
  public:
    int timebase = 0;          // T/dz position the requests carry
    int volt = 0;              // V/dz position kept with each block
    bool startEnabled = false; // what the tool window's Start and Stop would show
    bool stopEnabled = false;
    bool waitingForTrigger = false;
    bool deviceMissing = false;
    std::function<void()> OnProbeFailure;

    int TimebasePosition() const override { return timebase; }
    int VoltPosition() const override { return volt; }
    void SetStartStop(bool start, bool stop) override;
    void ReleaseConnectButton() override {}
    void HideMarkers() override {}
    void EnableMarkerButtons() override {}
    void ShowProbeFailure() override;
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
