#include "AcquisitionCycle.h"

#include "BlockTransform.h"
#include "CommPort.h"
#include "Frames.h"
#include "Protocol.h"
#include "Samples.h"
#include "ScopedFlag.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

using namespace protocol;

AcquisitionCycle::AcquisitionCycle(AcquisitionParts parts) : p_(parts) {}

void AcquisitionCycle::AttachViews(ControlsView& controls, ScreenView& screen) {
    p_.controls = &controls;
    p_.screen = &screen;
}

void AcquisitionCycle::SendProbe() {
    p_.acq.ProbeCountdown = ProbeTicks;
    p_.port.WriteString(ProbeFrame());
}

void AcquisitionCycle::SendRequest() {
    if (!p_.acq.Running)
        return;
    p_.acq.RequestedTimebase = p_.controls->TimebasePosition();
    const auto frame = RequestFrame(p_.trigger.TriggerEdge, p_.settings.Spow, p_.acq.RequestedTimebase,
                                    p_.trigger.LevelLow, p_.trigger.LevelHigh);
    p_.port.WriteBuffer(frame.data(), int(frame.size()));
}

void AcquisitionCycle::SendAbort() {
    p_.port.WriteString(std::string(1, AbortCommand));
}

void AcquisitionCycle::Connect() {
    p_.port.Close();
    try {
        p_.port.Open();
    } catch (...) {
        // Nothing is connected: the button must not say otherwise.
        p_.controls->ReleaseConnectButton();
        p_.controls->SetStartStop(false, false);
        throw;
    }
    p_.port.PurgeAll();
    p_.controls->Pause(SettleBeforeProbeMs);
    SendProbe();
    p_.controls->SetStartStop(true, false);
}

void AcquisitionCycle::Disconnect() {
    if (p_.port.IsOpen())
        p_.port.Close();
    p_.acq.Running = false;
    p_.controls->SetStartStop(false, false);
    p_.acq.RxCount = 0;
    ShowDeviceMissing(false);
    p_.screen->SetWaitingForTrigger(false);
}

void AcquisitionCycle::Start() {
    single_ = false;
    p_.acq.ReplyTimeout = p_.settings.Timeout1;
    p_.controls->HideMarkers();
    p_.acq.Running = true;
    p_.acq.RecoveryWait = 0;
    p_.acq.RxCount = 0;
    p_.acq.RxBuffer.clear();
    p_.acq.RxLength = 0;
    SendRequest();
    p_.controls->SetStartStop(false, true);
}

void AcquisitionCycle::Stop() {
    single_ = false;
    p_.acq.Running = false;
    p_.controls->SetStartStop(true, false);
    p_.controls->EnableMarkerButtons();
    ShowDeviceMissing(false);
    p_.screen->SetWaitingForTrigger(false);
}

void AcquisitionCycle::Reset() {
    if (p_.port.IsOpen())
        p_.port.Close();
    p_.port.PurgeAll();
    p_.acq.RecoveryWait = p_.settings.Czekaj1;
}

void AcquisitionCycle::RxChar() {
    // Bytes past a progressive block that overshot its 1000 are no reply: they must not
    // hold off the time-out that ends that block.
    if (!(p_.acq.SlowMode && p_.acq.RxCount > BlockBytes))
        p_.acq.ReplyTimeout = p_.settings.Timeout1;
    p_.acq.DataArrived = true;
}

// One tick, in this order: the probe's reply, progress, recovery, reply time-out, trigger
// line, collection of what arrived, then the trigger level and the time base the controls set.
// First the port's notification of bytes that came since the last tick, if it waited for one.
void AcquisitionCycle::Tick() {
    p_.port.DeliverPending();
    if (AwaitProbeReply())
        return;
    if (p_.settings.WYSSTATUS)
        p_.screen->ShowProgress(p_.acq.RxCount);
    if (!StepRecovery())
        return;
    CountReplyTimeout();
    if (p_.trigger.TriggerLevel != p_.acq.SeenTriggerLevel)
        p_.screen->PlaceTriggerLine();
    CollectArrived();
    TakeTriggerLevel();
    if (const int timebase = p_.controls->TimebasePosition(); timebase != p_.acq.SeenTimebase)
        ApplyTimebase(timebase);
}

// True while the probe's reply is awaited: the tick does nothing else.
bool AcquisitionCycle::AwaitProbeReply() {
    auto& a = p_.acq;
    if (a.ProbeCountdown <= 1)
        return false;
    if (p_.port.ReadAll() == std::string(1, ProbeReply)) {
        a.ProbeCountdown = 0; // connected
        return true;
    }
    if (--a.ProbeCountdown == 1) {
        p_.controls->ShowProbeFailure();
        a.ProbeCountdown = 0;
        p_.controls->ReleaseConnectButton();
        p_.controls->SetStartStop(false, false);
        if (p_.port.IsOpen())
            p_.port.Close();
    }
    return true;
}

// A recovery wait empties the block, reopens the port on the way and asks afresh at its end.
// False when a failed reopen ends the tick.
bool AcquisitionCycle::StepRecovery() {
    auto& a = p_.acq;
    if (a.RecoveryWait <= 0 || !a.Running)
        return true;
    p_.screen->SetRecoveryCaption(true);
    // Silence under an edge trigger is most likely a signal that never crosses the level,
    // unless the device itself is gone.
    p_.screen->SetWaitingForTrigger(p_.trigger.TriggerEdge != 0 && !deviceMissing_);
    a.RxCount = 0;
    a.RxBuffer.clear();
    a.RxLength = 0;
    --a.RecoveryWait;
    a.ReplyTimeout = p_.settings.Timeout1;
    p_.port.PurgeAll();
    if (a.RecoveryWait == ReopenAtRecoveryWait && !p_.port.IsOpen() && !Reopen())
        return false; // the next wait retries
    if (a.RecoveryWait == 0) {
        SendRequest();
        p_.screen->SetRecoveryCaption(false);
    }
    return true;
}

// Silence for Timeout1 ticks closes the port and starts a recovery wait. While the program
// itself pauses before its next request the instrument has nothing to answer yet: that is no silence.
void AcquisitionCycle::CountReplyTimeout() {
    auto& a = p_.acq;
    if (collecting_)
        return;
    if (a.ReplyTimeout > 0 && a.Running && --a.ReplyTimeout == 0) {
        if (p_.port.IsOpen())
            p_.port.Close();
        a.RecoveryWait = p_.settings.Czekaj1;
    }
}

// A tick inside a collection's pause collects nothing: the block is still being handled.
void AcquisitionCycle::CollectArrived() {
    auto& a = p_.acq;
    if (p_.trigger.TriggerLevel == a.SeenTriggerLevel && p_.controls->TimebasePosition() == a.SeenTimebase &&
        a.DataArrived && !collecting_) {
        a.DataArrived = false;
        if (a.SlowMode)
            CollectProgressive();
        else
            CollectBlock();
        if (std::exchange(shotAfterCollection_, false))
            SingleShot();
    }
}

// A new trigger level; in progressive mode with an edge the block under way is abandoned.
void AcquisitionCycle::TakeTriggerLevel() {
    auto& a = p_.acq;
    if (p_.trigger.TriggerLevel == a.SeenTriggerLevel)
        return;
    a.SeenTriggerLevel = p_.trigger.TriggerLevel;
    if (a.SlowMode && p_.trigger.TriggerEdge != 0) {
        SendAbort();
        a.RecoveryWait = p_.settings.Czekaj1;
        a.DataArrived = false;
    }
}

void AcquisitionCycle::ApplyTimebase(int position) {
    p_.acq.SeenTimebase = position;
    p_.screen->ApplyTimebaseDisplay(position);
    if (p_.acq.SlowMode) { // still the old time base's mode
        SendAbort();
        p_.acq.RecoveryWait = p_.settings.Czekaj1;
    }
    p_.acq.SlowMode = position >= FirstProgressiveTimebase;
}

// The first failure of a run of them reaches the error box; while the device stays missing the
// note says so, and a box at every wait (about once a second) would keep the user from Stop.
bool AcquisitionCycle::Reopen() {
    try {
        p_.port.Open();
    } catch (...) {
        const bool told = deviceMissing_;
        ShowDeviceMissing(true);
        if (!told)
            throw;
        return false;
    }
    ShowDeviceMissing(false);
    return true;
}

void AcquisitionCycle::ShowDeviceMissing(bool missing) {
    if (missing == deviceMissing_)
        return;
    deviceMissing_ = missing;
    if (missing)
        p_.screen->SetWaitingForTrigger(false);
    p_.screen->SetDeviceMissing(missing);
}

void AcquisitionCycle::Pause(int ms) {
    const ScopedFlag collecting(collecting_);
    p_.controls->Pause(ms);
}

void AcquisitionCycle::ComputeSpectrum() {
    p_.transform.ComputeSpectrum(p_.samples, p_.spectrum);
}

void AcquisitionCycle::ShownBlock(int timebase) {
    p_.screen->SetWaitingForTrigger(false);
    p_.screen->BlockComplete(timebase);
    TakeCompleteBlock(timebase);
}

void AcquisitionCycle::CollectBlock() {
    auto& a = p_.acq;
    const std::string bytes = p_.port.ReadAll();
    a.RxBuffer += bytes;
    a.RxCount += int(bytes.size());
    if (a.RxCount <= FastBlockFrom)
        return;
    p_.screen->SetFastTracePen();
    DecodeBlock(a.RxBuffer, p_.samples);
    const int timebase = a.RequestedTimebase; // the next request is sent before this block is shown
    if (single_)
        a.Running = false; // a single shot asks for no further block
    p_.port.PurgeAll();
    a.RxBuffer.clear();
    Pause(PauseBeforeRequestMs);
    a.RxCount = 0;
    SendRequest(); // the instrument acquires the next block while this one is drawn
    p_.screen->DrawFastTrace();
    ComputeSpectrum();
    p_.screen->DrawSpectrum();
    p_.screen->ShowFastTrace();
    if (p_.trigger.TriggerEdge != 0)
        p_.screen->PlaceTriggerLine();
    ShownBlock(timebase);
}

void AcquisitionCycle::CollectProgressive() {
    auto& a = p_.acq;
    if (a.RxCount == 0) {
        p_.screen->BeginProgressiveBlock();
        if (p_.trigger.TriggerEdge != 0)
            p_.screen->PlaceTriggerLine();
    }
    const std::string bytes = p_.port.ReadAll();
    // The sample buffer takes 2000 bytes; an instrument that keeps sending grows nothing past that.
    const std::size_t limit = ProgressiveBufferBytes;
    const std::size_t room = limit - std::min(limit, a.RxBuffer.size());
    a.RxBuffer.append(bytes, 0, std::min(bytes.size(), room));
    a.RxLength = int(a.RxBuffer.size());
    // Counts on without overflowing where no time-out ever ends the block.
    a.RxCount = int(std::min<std::int64_t>(std::int64_t(a.RxCount) + std::int64_t(bytes.size()), INT_MAX));
    CopyReceived(a.RxBuffer, p_.samples);
    if (p_.samples[1] > MaxSampleWord)
        a.RecoveryWait = p_.settings.Czekaj1; // a garbled transfer: abandon the block
    p_.screen->DrawProgressiveTrace();
    if (a.RxCount == BlockBytes) {
        a.RxCount = 0;
        a.RxBuffer.clear();
        ComputeSpectrum();
        p_.screen->DrawSpectrum();
        ShownBlock(a.RequestedTimebase);
        if (p_.controls->TimebasePosition() > LastUnpausedTimebase)
            Pause(SlowRequestPauseMs);
        SendRequest();
    }
}
