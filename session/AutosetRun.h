#pragma once
// Autoset (F6) on the live acquisition: the search of signal/Autoset turns the
// knobs as a hand would and lets the acquisition cycle take them up on its ticks,
// so only the requests the protocol has go out. It is fed every live block shown
// and counts the poll timer's ticks to tell an instrument that does not answer.

#include "AcquisitionSession.h"
#include "Autoset.h"
#include "SampleBuffer.h"

#include <QMetaObject>
#include <functional>
#include <optional>
#include <string>

struct ProgramState;
class PollTimer;

// What autoset turns: the tool window's knobs and switches, or their headless stand-ins.
class AutosetControls {
  public:
    virtual ~AutosetControls() = default;
    virtual bool Connected() const = 0; // the port open and the probe answered
    virtual bool Acquiring() const = 0; // started and not stopped
    virtual void SetTimebase(int position) = 0;
    virtual void SetVolt(int position) = 0;
    virtual void SetPositionMv(int mv) = 0;         // the voltage at the bottom of the time view
    virtual void SetTriggerMode(int mode) = 0;      // 0 off, 1 rising, 2 falling
    virtual void SetTriggerLevel(int position) = 0; // MinTriggerLevel..MaxTriggerLevel
    virtual void StartAcquiring() = 0;              // Start; called only while stopped
};

struct AutosetEnd {
    std::string message;                 // for the user: Polish, UTF-8
    std::optional<AutosetResult> result; // what was set; empty when nothing was found
    int blocksCounted = 0;               // blocks the search used
    int blocksTaken = 0;                 // every block that came during the run
};

class AutosetRun {
  public:
    // ticks: the session's poll timer; guard: runs each tick's handler as the session's
    // handlers run (the error box), so nothing thrown crosses the event loop.
    AutosetRun(PollTimer& ticks, const ProgramState& state, AutosetControls& controls,
               AcquisitionSession::Guard guard);
    ~AutosetRun();
    AutosetRun(const AutosetRun&) = delete;
    AutosetRun& operator=(const AutosetRun&) = delete;

    // F6: from the start settings, acquiring. Not connected, it ends at once and says so;
    // pressed again while running, it starts afresh.
    void Begin();
    bool Running() const { return search_.has_value(); }
    // A live block has been shown (not one from a file or the history), taken at timebase.
    void BlockShown(const SampleBuffer& samples, int timebase);
    // Once, at the end of each run; the session is left acquiring (with the start
    // settings when no signal came, and stopped only when the user stopped it).
    std::function<void(const AutosetEnd&)> OnFinished;

  private:
    void Tick();
    void Apply(const AutosetResult& r);
    void Finish(std::string message, std::optional<AutosetResult> result = {});

    const ProgramState& state_;
    AutosetControls& controls_;
    QMetaObject::Connection tick_;
    std::optional<AutosetSearch> search_;
    int silentTicks_ = 0;
    int lastRxCount_ = 0;
    int taken_ = 0;
    int passedOver_ = 0; // blocks in a row at another T/dz than the search's
};
