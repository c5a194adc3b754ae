#pragma once
// What the acquisition cycle asks of the windows: the tool window's controls
// and pause, and the main window's drawing steps of a block.

class ControlsView {
  public:
    virtual ~ControlsView() = default;
    virtual int TimebasePosition() const = 0; // the T/dz knob
    virtual int VoltPosition() const = 0;     // the V/dz knob
    virtual void SetStartStop(bool startEnabled, bool stopEnabled) = 0;
    virtual void ReleaseConnectButton() = 0; // without running its handler
    virtual void HideMarkers() = 0;          // Start: marker items hidden, marker buttons off
    virtual void EnableMarkerButtons() = 0;  // Stop: "Włącz" and "Wyłącz" usable
    virtual void ShowProbeFailure() = 0;     // modal; waits for the user
    virtual void Pause(int ms) = 0;          // window events keep running meanwhile
};

class ScreenView {
  public:
    virtual ~ScreenView() = default;
    virtual void ShowProgress(int rxCount) = 0;
    virtual void SetRecoveryCaption(bool red) = 0; // repainted at once
    virtual void PlaceTriggerLine() = 0;
    virtual void ApplyTimebaseDisplay(int position) = 0; // background, scales, labels, repaint
    virtual void SetFastTracePen() = 0;                  // the fast trace's pen: width LW, colour PC
    virtual void DrawFastTrace() = 0;                    // the next ShowFastTrace truncates the rows
    virtual void ShowFastTrace() = 0;                    // the time view shows the block's trace
    virtual void BeginProgressiveBlock() = 0;            // erases the trace on the window
    virtual void DrawProgressiveTrace() = 0;             // the part received so far, on the window
    virtual void DrawSpectrum() = 0;                     // the spectrum view shows the block's spectrum
    // A whole block is on the screen, taken at T/dz position `timebase`: its read-outs may follow.
    virtual void BlockComplete(int timebase) = 0;
    // A quiet note beside the red caption: an edge trigger is set and no block comes.
    virtual void SetWaitingForTrigger(bool waiting) = 0;
    // The port could not be opened again: the note says the device is missing instead.
    virtual void SetDeviceMissing(bool missing) = 0;
};
