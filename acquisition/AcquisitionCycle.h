#pragma once
// The conversation with the instrument: connect and probe, Start, Stop,
// Reset, the received-data notification, the poll tick with its time-out and
// recovery, and the collection of each block.

#include "AcquisitionState.h"
#include "AcquisitionView.h"
#include "SampleBuffer.h"
#include "Settings.h"
#include "TriggerState.h"

class TCustomCommPort;
class BlockTransform;
class Capture;

struct AcquisitionParts {
    AcquisitionState& acq;
    TriggerState& trigger;
    Settings& settings;
    SampleBuffer& samples;
    Spectrum& spectrum;
    TCustomCommPort& port;
    ControlsView* controls; // the windows' or a headless stand-in; see AttachViews
    ScreenView* screen;
    const BlockTransform& transform; // each whole block's spectrum
    Capture* capture = nullptr;      // where complete blocks are kept, when anywhere
};

class AcquisitionCycle {
  public:
    explicit AcquisitionCycle(AcquisitionParts parts);
    // Who shows the conversation and holds the knobs from now on.
    void AttachViews(ControlsView& controls, ScreenView& screen);

    void Connect();    // connect button pressed
    void Disconnect(); // connect button released
    void Start();
    void Stop();
    void Reset();
    void RxChar();
    void Tick();

    void SendProbe();
    void SendRequest();
    void SendAbort();

    void CollectBlock();
    void CollectProgressive();

    // One block, then stop as Stop would: started when connected and stopped, or the
    // next complete block of a run. Stop and Start cancel it.
    void SingleShot();
    bool SingleShotArmed() const { return single_; }

  private:
    // The phases of a tick, in their order.
    bool AwaitProbeReply();
    bool StepRecovery();
    void CountReplyTimeout();
    void CollectArrived();
    void TakeTriggerLevel();
    void ApplyTimebase(int position);

    bool Reopen(); // in the recovery wait; says so while the device is missing
    void ShowDeviceMissing(bool missing);
    void Pause(int ms); // a pause inside a collection: nested ticks start no collection
    void ComputeSpectrum();
    void ShownBlock(int timebase);        // the read-outs follow the block on the screen, taken at timebase
    void TakeCompleteBlock(int timebase); // into the capture; a single shot ends here

    AcquisitionParts p_;
    bool collecting_ = false;
    bool single_ = false;
    bool shotAfterCollection_ = false; // asked for inside a collection's pause
    bool deviceMissing_ = false;       // the last reopen failed
};
