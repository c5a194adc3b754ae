#pragma once
// One conversation with the instrument and everything it needs: the port, the
// poll timer, the cycle and the capture, set up from the settings. It runs in
// any Qt event loop, with or without windows: windows attach as its views and
// send it the user's commands; alone, it keeps its knobs in HeadlessViews.

#include "AcquisitionCycle.h"
#include "Capture.h"
#include "CommPort.h"
#include "HeadlessViews.h"
#include "PollTimer.h"

#include <functional>
#include <string>

struct ProgramState;
class SettingsFile;

class AcquisitionSession {
  public:
    // Runs a handler so that nothing it throws crosses the event loop (the windows' error box).
    using Guard = std::function<void(const std::function<void()>&)>;
    // Built on the thread whose event loop runs it. ini maps port numbers to devices at
    // every open; portDevice, when given, is the device of the selected port for this run.
    AcquisitionSession(ProgramState& state, const SettingsFile& ini, Guard guard,
                       std::string portDevice = {});
    AcquisitionSession(const AcquisitionSession&) = delete;
    AcquisitionSession& operator=(const AcquisitionSession&) = delete;

    void AttachViews(ControlsView& controls, ScreenView& screen) { cycle_.AttachViews(controls, screen); }

    // The handlers of the poll tick and of the port's received-data event.
    void Timer1Timer() { cycle_.Tick(); }
    void Com1RxChar(TCustomCommPort*, int) { cycle_.RxChar(); }

    // The user's commands.
    void Connect() { cycle_.Connect(); }
    void Disconnect() { cycle_.Disconnect(); }
    void Start() { cycle_.Start(); }
    void Stop() { cycle_.Stop(); }
    void Reset() { cycle_.Reset(); }
    void SingleShot() { cycle_.SingleShot(); }
    bool SingleShotArmed() const { return cycle_.SingleShotArmed(); }
    // The port closed, its threads joined, whatever state the conversation was in.
    void ClosePort();
    static constexpr int ShutdownPauseMs = 500; // after the port closes, before the program ends

  private:
    Guard guard_;

  public:
    TCommPort Com1;
    PollTimer Timer1;
    Capture capture;     // the history and the recording; every complete block goes there
    HeadlessViews alone; // the views while no window is attached

  private:
    void ConfigurePort(const SettingsFile& ini, std::string portDevice);
    void FollowTimerInterval();

    AcquisitionCycle cycle_;
};
