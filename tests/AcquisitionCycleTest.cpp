#include "AcquisitionCycle.h"

#include "BlockTransform.h"
#include "Frames.h"
#include "GuiQueue.h"
#include "Pty.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Records what the cycle asks of the windows; the pause pumps port notifications.
struct FakeView : ControlsView, ScreenView {
    GuiQueue* gui = nullptr;
    int timebase = 0;
    bool startEnabled = false, stopEnabled = false;
    bool connectReleased = false, markersHidden = false, markerButtons = false;
    int probeFailures = 0, fastTraces = 0, progressiveDraws = 0, spectra = 0, newProgressive = 0;
    int triggerPlacements = 0, timebaseDisplays = 0, lastProgress = -1;
    bool captionRed = false, waitingForTrigger = false, deviceMissing = false;
    std::vector<int> blockTimebases; // of each whole block shown
    std::vector<int> pauses;
    std::function<void()> duringPause;
    std::function<void()> whileDecoding; // between reading a fast block and the purge

    int TimebasePosition() const override { return timebase; }
    int VoltPosition() const override { return 0; }
    void SetStartStop(bool s, bool t) override { startEnabled = s, stopEnabled = t; }
    void ReleaseConnectButton() override { connectReleased = true; }
    void HideMarkers() override { markersHidden = true; }
    void EnableMarkerButtons() override { markerButtons = true; }
    void ShowProbeFailure() override { ++probeFailures; }
    void Pause(int ms) override {
        pauses.push_back(ms);
        gui->PumpUntil([] { return false; }, std::chrono::milliseconds(ms));
        if (duringPause)
            duringPause();
    }
    void ShowProgress(int rx) override { lastProgress = rx; }
    void SetRecoveryCaption(bool red) override { captionRed = red; }
    void SetWaitingForTrigger(bool waiting) override { waitingForTrigger = waiting; }
    void SetDeviceMissing(bool missing) override { deviceMissing = missing; }
    void BlockComplete(int timebase) override { blockTimebases.push_back(timebase); }
    void PlaceTriggerLine() override { ++triggerPlacements; }
    void ApplyTimebaseDisplay(int) override { ++timebaseDisplays; }
    void SetFastTracePen() override {
        if (whileDecoding)
            whileDecoding();
    }
    void DrawFastTrace() override { ++fastTraces; }
    void ShowFastTrace() override {}
    void BeginProgressiveBlock() override { ++newProgressive; }
    void DrawProgressiveTrace() override { ++progressiveDraws; }
    void DrawSpectrum() override { ++spectra; }
};

std::string Block(int first = 0) {
    std::string b;
    for (int i = 0; i < 500; ++i) {
        const int s = (first + i * 2) % 1024;
        b += char(s & 0xFF);
        b += char(s >> 8);
    }
    return b;
}

struct Rig {
    GuiQueue gui;
    Pty pty;
    AcquisitionState acq;
    TriggerState trigger;
    Settings settings;
    SampleBuffer samples{};
    Spectrum spectrum{};
    TransformTables tables = [] {
        TransformTables t;
        BuildSpectrumTables(t);
        return t;
    }();
    BlockTransform transform{tables};
    FakeView view;
    TCommPort port{gui.Dispatch()};
    AcquisitionCycle cycle{{acq, trigger, settings, samples, spectrum, port, &view, &view, transform}};

    Rig() {
        // Not the default 20 of both: a wait that counted the reply time-out instead would show.
        settings.Czekaj1 = 21;
        view.gui = &gui;
        port.Line.Baudrate = br115200;
        port.Buffers.ReadSize = 1000;
        port.Buffers.WriteSize = 10;
        port.SetMonitorEvents({ceRxChar});
        port.SetDeviceResolver([this](const std::string&) { return pty.SlavePath(); });
        port.ClosePauseMs = 0;
        port.OnRxChar = [this](TCustomCommPort*, int) { cycle.RxChar(); };
    }
    // The instrument sends; the notification reaches the cycle.
    void Send(const std::string& bytes) {
        acq.DataArrived = false; // the probe phase leaves it set
        pty.Write(bytes);
        ASSERT_TRUE(gui.PumpUntil([&] { return acq.DataArrived; }, 10s));
    }
    // What the cycle sent: bytes that must come are waited for long; silence is looked for briefly.
    std::string Sent(size_t n = 5) { return pty.Read(n, 10000); }
    bool NothingSent() { return pty.Read(1, 300).empty(); }
    void Connected() {
        cycle.Connect();
        ASSERT_EQ(Sent(), ProbeFrame());
        Send("U");
        cycle.Tick();
        ASSERT_EQ(acq.ProbeCountdown, 0);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            cycle.Tick();
    }
};

} // namespace

TEST(AcquisitionCycle, ProbeAnsweredWithExactlyUConnects) {
    Rig r;
    r.cycle.Connect();
    EXPECT_EQ(r.view.pauses, std::vector<int>{502}) << "the probe waits for the instrument to settle";
    EXPECT_EQ(r.Sent(), ProbeFrame());
    EXPECT_TRUE(r.view.startEnabled) << "Start is usable before the reply";
    EXPECT_FALSE(r.view.stopEnabled);
    r.Send("UU"); // a reply together with another byte is not accepted
    r.cycle.Tick();
    EXPECT_EQ(r.acq.ProbeCountdown, 49);
    r.Send("U");
    r.cycle.Tick();
    EXPECT_EQ(r.acq.ProbeCountdown, 0);
    EXPECT_EQ(r.view.probeFailures, 0);
}

TEST(AcquisitionCycle, ProbeWithoutReplyFailsOnThe49thTick) {
    Rig r;
    r.cycle.Connect();
    r.Sent();
    r.Ticks(48);
    EXPECT_EQ(r.view.probeFailures, 0);
    EXPECT_TRUE(r.port.IsOpen());
    r.cycle.Tick();
    EXPECT_EQ(r.view.probeFailures, 1);
    EXPECT_TRUE(r.view.connectReleased);
    EXPECT_FALSE(r.view.startEnabled || r.view.stopEnabled);
    EXPECT_FALSE(r.port.IsOpen());
    EXPECT_EQ(r.acq.ProbeCountdown, 0);
}

TEST(AcquisitionCycle, StartRequestsAndEachFastBlockRequestsTheNext) {
    Rig r;
    r.Connected();
    r.view.timebase = 3;
    r.cycle.Tick(); // a pending knob change defers collection: let the tick take it first
    r.cycle.Start();
    EXPECT_EQ(r.Sent(), std::string("\x01\x03\x01\x00\x05", 5));
    EXPECT_TRUE(r.view.markersHidden);
    EXPECT_TRUE(r.view.stopEnabled && !r.view.startEnabled);

    r.Send(Block().substr(0, 600));
    r.cycle.Tick();
    EXPECT_EQ(r.acq.RxCount, 600);
    EXPECT_EQ(r.view.fastTraces, 0);
    EXPECT_TRUE(r.NothingSent()) << "no request before the block is complete";

    r.Send(Block().substr(600, 397));
    r.cycle.Tick();
    EXPECT_EQ(r.view.lastProgress, 600) << "the bar shows what the tick found";
    EXPECT_EQ(r.acq.RxCount, 997);
    EXPECT_EQ(r.view.fastTraces, 0) << "997 bytes are not a block";
    r.view.timebase = 5; // turned while the block asked for at 3 is on its way
    r.cycle.Tick();

    // 998 bytes complete a fast block; the rest of it, arriving meanwhile, is purged.
    r.view.whileDecoding = [&] {
        r.view.whileDecoding = nullptr;
        r.pty.Write("\x05\x06");
        ASSERT_TRUE(r.gui.PumpUntil([&] { return r.acq.DataArrived; }, 10s));
    };
    r.Send(Block().substr(997, 1));
    r.cycle.Tick();
    EXPECT_EQ(r.acq.RxCount, 0);
    EXPECT_EQ(r.view.fastTraces, 1);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 5, 1, 0));
    EXPECT_EQ(r.view.blockTimebases, std::vector<int>{3}) << "a block keeps the time base it was taken at";
    EXPECT_EQ(r.samples[1], 2);
    EXPECT_EQ(r.samples[498], 996);
    EXPECT_EQ(r.samples[499], 0) << "the two missing bytes read as zero";
    Spectrum expected{};
    r.transform.ComputeSpectrum(r.samples, expected);
    EXPECT_EQ(r.spectrum, expected);

    SetTriggerMode(r.trigger, 2);
    r.Send(Block(7) + "extra"); // more than a block: the rest is dropped
    r.cycle.Tick();
    EXPECT_EQ(r.view.triggerPlacements, 1) << "with an edge the trigger line is placed over the new trace";
    EXPECT_EQ(r.samples[0], 7) << "bytes of the previous block shifted this one";
    EXPECT_EQ(r.samples[499], 7 + 998);
    EXPECT_EQ(r.acq.RxBuffer, "");
    EXPECT_EQ(r.view.fastTraces, 2);
    EXPECT_EQ(r.view.blockTimebases, (std::vector<int>{3, 5}));
}

TEST(AcquisitionCycle, ProgressiveBlocksNeedExactly1000Bytes) {
    Rig r;
    r.settings.Timeout1 = 3; // only arriving bytes keep it from expiring before the block's end
    r.Connected();
    r.view.timebase = 9;
    r.cycle.Tick(); // the time-base change: fast to progressive, no abort
    EXPECT_TRUE(r.acq.SlowMode);
    EXPECT_TRUE(r.NothingSent());
    r.cycle.Start();
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 9, 1, 0));

    r.Send(Block().substr(0, 601));
    r.cycle.Tick();
    EXPECT_EQ(r.view.newProgressive, 1);
    EXPECT_EQ(r.acq.RxLength, 601);
    EXPECT_EQ(r.view.progressiveDraws, 1);
    r.Send(Block().substr(601));
    r.cycle.Tick();
    EXPECT_EQ(r.acq.RxCount, 0);
    EXPECT_EQ(r.acq.RxLength, 1000) << "kept for the repaint";
    EXPECT_EQ(r.view.spectra, 1);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 9, 1, 0));
    r.cycle.Tick();
    EXPECT_EQ(r.view.newProgressive, 1) << "a tick without data begins no block";
    EXPECT_TRUE(r.port.IsOpen());

    r.Send(Block().substr(0, 600)); // 1002 bytes never complete a progressive block
    r.cycle.Tick();
    r.Send(Block().substr(0, 402));
    r.cycle.Tick();
    EXPECT_EQ(r.acq.RxCount, 1002);
    EXPECT_TRUE(r.NothingSent());
    EXPECT_EQ(r.view.newProgressive, 2);
}

TEST(AcquisitionCycle, AnOvershotProgressiveBlockEndsByTheTimeOutWhileBytesKeepComing) {
    Rig r;
    r.Connected();
    r.view.timebase = 9;
    r.cycle.Tick();
    r.cycle.Start();
    r.Sent();
    r.Send(Block().substr(0, 900));
    r.cycle.Tick();
    int ticks = 0;
    while (r.port.IsOpen() && ticks < 100) { // the instrument sends on past the block's 1000
        r.Send(std::string(200, '\0'));
        r.cycle.Tick();
        ++ticks;
        ASSERT_LE(r.acq.RxBuffer.size(), 2000u) << "tick " << ticks;
    }
    EXPECT_EQ(ticks, r.settings.Timeout1) << "counted from the bytes that overshot the block";
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
    EXPECT_EQ(r.acq.RxLength, 2000);
}

TEST(AcquisitionCycle, GarbledSecondWordStartsTheRecoveryWait) {
    Rig r;
    r.Connected();
    r.view.timebase = 7;
    r.cycle.Tick();
    r.cycle.Start();
    r.Sent();
    r.Send(std::string("\x10\x00\x05\x04", 4)); // second word 0x0405 = 1029
    r.cycle.Tick();
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
    EXPECT_EQ(r.view.progressiveDraws, 1) << "drawing still goes on in that call";
}

TEST(AcquisitionCycle, SilentInstrumentIsClosedReopenedAndAskedAgain) {
    Rig r;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    r.Ticks(19);
    EXPECT_TRUE(r.port.IsOpen());
    r.cycle.Tick(); // the 20th silent tick
    EXPECT_FALSE(r.port.IsOpen());
    EXPECT_EQ(r.acq.RecoveryWait, 21);
    r.cycle.Tick();
    EXPECT_TRUE(r.view.captionRed);
    EXPECT_EQ(r.acq.RecoveryWait, 20);
    r.Ticks(14);
    EXPECT_FALSE(r.port.IsOpen());
    r.cycle.Tick(); // the wait reaches 5
    EXPECT_TRUE(r.port.IsOpen());
    r.Ticks(4);
    EXPECT_TRUE(r.view.captionRed);
    EXPECT_TRUE(r.NothingSent());
    r.cycle.Tick(); // and 0
    EXPECT_FALSE(r.view.captionRed);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
    r.Ticks(18); // the tick that ends the wait already counted one
    EXPECT_TRUE(r.port.IsOpen());
    r.cycle.Tick();
    EXPECT_FALSE(r.port.IsOpen()) << "the fresh request is timed out like the first";
}

TEST(AcquisitionCycle, StartAfterAStopInTheRecoveryWaitAsksAtOnce) {
    Rig r;
    r.settings.Timeout1 = 2;
    r.settings.Czekaj1 = 8;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    r.Ticks(6); // timed out, reopened, 4 ticks of the wait left
    ASSERT_TRUE(r.port.IsOpen());
    r.cycle.Stop();
    r.Ticks(10);
    EXPECT_EQ(r.acq.RecoveryWait, 4) << "a stopped wait does not count";
    EXPECT_TRUE(r.view.captionRed);
    r.cycle.Start();
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
    r.Send(Block(3)); // the reply is taken, not purged by a wait left running
    r.cycle.Tick();
    EXPECT_EQ(r.view.fastTraces, 1);
    EXPECT_EQ(r.samples[0], 3);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
}

TEST(AcquisitionCycle, FromHalfASecondPerDivisionTheNextRequestWaits500ms) {
    for (const int timebase : {10, 11}) {
        Rig r;
        r.Connected();
        r.view.timebase = timebase;
        r.cycle.Tick();
        r.cycle.Start();
        r.Sent();
        // The 500 ms are Timeout1 ticks at the defaults: the program's own wait is no silence.
        r.view.duringPause = [&] { r.Ticks(r.settings.Timeout1 + 1); };
        r.Send(Block());
        r.cycle.Tick();
        const std::vector<int> pauses = timebase == 11 ? std::vector<int>{502, 500} : std::vector<int>{502};
        EXPECT_EQ(r.view.pauses, pauses) << "T/dz " << timebase;
        EXPECT_EQ(r.Sent(), RequestFrame(0, true, timebase, 1, 0));
        EXPECT_TRUE(r.port.IsOpen());
        EXPECT_EQ(r.acq.RecoveryWait, 0);
        EXPECT_FALSE(r.view.captionRed);
    }
}

TEST(AcquisitionCycle, WaitingForATriggerShowsFromTheRedCaptionToTheNextBlock) {
    for (const int mode : {0, 1}) {
        Rig r;
        SetTriggerMode(r.trigger, mode);
        r.settings.Timeout1 = 2;
        r.settings.Czekaj1 = 6;
        r.Connected();
        r.cycle.Start();
        r.Sent();
        r.Ticks(3); // silent: closed, then the first tick of the wait
        EXPECT_TRUE(r.view.captionRed);
        EXPECT_EQ(r.view.waitingForTrigger, mode != 0) << "trigger mode " << mode;
        r.Ticks(5);
        EXPECT_FALSE(r.view.captionRed);
        EXPECT_EQ(r.view.waitingForTrigger, mode != 0) << "still nothing drawn";
        ASSERT_EQ(r.Sent(), RequestFrame(mode ? 0x60 : 0, true, 0, 1, 0));
        r.Send(Block());
        r.cycle.Tick();
        EXPECT_EQ(r.view.blockTimebases.size(), 1u);
        EXPECT_FALSE(r.view.waitingForTrigger);
        r.Ticks(3);
        EXPECT_EQ(r.view.waitingForTrigger, mode != 0);
        r.cycle.Stop();
        EXPECT_FALSE(r.view.waitingForTrigger);
    }
}

// A device that cannot be opened: the connect button is released at once, and while the
// recovery's reopens fail the note says the device is missing, not that a trigger is awaited.
TEST(AcquisitionCycle, AMissingDeviceReleasesTheConnectButtonAndIsToldAsMissing) {
    Rig r;
    bool unplugged = true;
    r.port.SetDeviceResolver(
        [&](const std::string&) { return unplugged ? "/dev/no-such-adapter" : r.pty.SlavePath(); });
    r.view.startEnabled = true;
    EXPECT_THROW(r.cycle.Connect(), ECommPortError);
    EXPECT_TRUE(r.view.connectReleased);
    EXPECT_FALSE(r.view.startEnabled || r.view.stopEnabled);

    unplugged = false;
    SetTriggerMode(r.trigger, 1);
    r.settings.Timeout1 = 2;
    r.settings.Czekaj1 = 8;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    unplugged = true;
    r.Ticks(3); // silent: closed, then the first tick of the wait
    EXPECT_TRUE(r.view.waitingForTrigger);
    r.cycle.Tick();
    EXPECT_THROW(r.cycle.Tick(), ECommPortError); // the wait reaches 5: the reopen fails
    EXPECT_TRUE(r.view.deviceMissing);
    EXPECT_FALSE(r.view.waitingForTrigger);
    r.Ticks(5); // the next round of the wait
    EXPECT_FALSE(r.view.waitingForTrigger) << "still missing, not waiting for a trigger";
    unplugged = false;
    ASSERT_FALSE(r.port.IsOpen());
    while (!r.port.IsOpen())
        r.cycle.Tick();
    EXPECT_FALSE(r.view.deviceMissing) << "a reopen succeeded";
}

// F4 again while a single shot's block is handled, inside the pause before its (withheld)
// request: one new shot, one request on the wire.
TEST(AcquisitionCycle, ASingleShotAskedForInsideABlocksPauseSendsOneRequestAndIsKept) {
    Rig r;
    r.Connected();
    r.cycle.SingleShot();
    ASSERT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
    r.view.duringPause = [&] { r.cycle.SingleShot(); };
    r.Send(Block());
    r.cycle.Tick();
    r.view.duringPause = nullptr;
    EXPECT_EQ(r.view.blockTimebases.size(), 1u);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
    EXPECT_TRUE(r.NothingSent()) << "a second request while the new shot's block is under way";
    EXPECT_TRUE(r.cycle.SingleShotArmed() && r.acq.Running) << "the new shot was lost";
}

TEST(AcquisitionCycle, RecoveryReopensOnlyWhenTheWaitPassesFive) {
    for (const int wait : {5, 6}) {
        Rig r;
        r.settings.Czekaj1 = wait;
        r.settings.Timeout1 = 2;
        r.Connected();
        r.cycle.Start();
        r.Sent();
        r.Ticks(2);
        ASSERT_FALSE(r.port.IsOpen());
        r.cycle.Tick();
        EXPECT_EQ(r.port.IsOpen(), wait == 6) << "Czekaj1 " << wait;
        r.Ticks(10);
        EXPECT_EQ(r.port.IsOpen(), wait == 6) << "Czekaj1 " << wait;
    }
}

TEST(AcquisitionCycle, TimeoutOfZeroNeverTimesOut) {
    Rig r;
    r.settings.Timeout1 = 0;
    r.Connected();
    r.cycle.Start();
    r.Ticks(100);
    EXPECT_TRUE(r.port.IsOpen());
    EXPECT_EQ(r.acq.RecoveryWait, 0);
}

TEST(AcquisitionCycle, LeavingProgressiveModeSendsTheAbortCommandOnce) {
    Rig r;
    r.Connected();
    r.view.timebase = 9;
    r.cycle.Tick();
    EXPECT_TRUE(r.NothingSent()) << "3 -> 9 style change: the old mode was fast";
    r.view.timebase = 3;
    r.cycle.Tick(); // stopped, but the port is open: "q" still goes out
    EXPECT_EQ(r.Sent(1), "q");
    EXPECT_TRUE(r.NothingSent());
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
    EXPECT_FALSE(r.acq.SlowMode);
    EXPECT_EQ(r.view.timebaseDisplays, 2);
    r.cycle.Tick();
    EXPECT_TRUE(r.NothingSent());
}

TEST(AcquisitionCycle, LevelChangeAbortsOnlyInProgressiveModeWithAnEdge) {
    Rig r;
    r.Connected();
    r.trigger.TriggerLevel = 100;
    r.cycle.Tick();
    r.cycle.Tick();
    EXPECT_EQ(r.view.triggerPlacements, 1) << "a change is handled once";
    EXPECT_TRUE(r.NothingSent()) << "fast mode: the next request carries the level";
    r.view.timebase = 8;
    r.cycle.Tick();
    r.trigger.TriggerLevel = 150;
    r.cycle.Tick();
    EXPECT_TRUE(r.NothingSent()) << "no edge selected: no abort";
    r.trigger.TriggerEdge = 0x60;
    r.trigger.TriggerLevel = 200;
    r.acq.DataArrived = true;
    r.cycle.Tick();
    EXPECT_EQ(r.Sent(1), "q");
    EXPECT_FALSE(r.acq.DataArrived);
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
}

TEST(AcquisitionCycle, StopLetsTheBlockFinishAndSendsNothingMore) {
    Rig r;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    r.cycle.Stop();
    EXPECT_TRUE(r.view.markerButtons);
    EXPECT_TRUE(r.view.startEnabled && !r.view.stopEnabled);
    r.Send(Block(5));
    r.cycle.Tick();
    EXPECT_EQ(r.view.fastTraces, 1);
    EXPECT_EQ(r.samples[0], 5);
    EXPECT_TRUE(r.NothingSent());
    r.Ticks(30);
    EXPECT_TRUE(r.port.IsOpen()) << "silence while stopped is no time-out";
}

TEST(AcquisitionCycle, DisconnectMidBlockLeavesTheCycleIdleAndThePortClosed) {
    Rig r;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    r.Send(Block().substr(0, 300));
    r.cycle.Tick();
    r.cycle.Disconnect();
    EXPECT_TRUE(Idle(r.acq)) << "saving works again";
    r.Ticks(60);
    EXPECT_FALSE(r.port.IsOpen()) << "no recovery reopens a port the user let go";
}

TEST(AcquisitionCycle, ATickInsideACollectionsPauseCollectsNothing) {
    Rig r;
    r.Connected();
    r.cycle.Start();
    r.Sent();
    bool nested = false;
    r.view.duringPause = [&] {
        if (nested)
            return;
        nested = true;
        r.pty.Write("ab"); // arrives during the 10 ms pause
        r.gui.PumpUntil([&] { return r.acq.DataArrived; }, 10s);
        r.cycle.Tick();
    };
    r.Send(Block());
    r.cycle.Tick();
    EXPECT_TRUE(nested);
    EXPECT_EQ(r.view.fastTraces, 1);
    EXPECT_EQ(r.Sent(), RequestFrame(0, true, 0, 1, 0));
    EXPECT_TRUE(r.NothingSent()) << "one request, not two";
    EXPECT_TRUE(r.acq.DataArrived) << "left for the next tick";
}

TEST(AcquisitionCycle, ResetClosesAndWaits) {
    Rig r;
    r.Connected();
    r.cycle.Reset();
    EXPECT_FALSE(r.port.IsOpen());
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
    r.Ticks(30); // stopped: the wait does not count on
    EXPECT_FALSE(r.port.IsOpen());
    EXPECT_EQ(r.acq.RecoveryWait, r.settings.Czekaj1);
    r.cycle.Disconnect();
    EXPECT_FALSE(r.view.startEnabled || r.view.stopEnabled);
}

TEST(Trigger, LevelBytesTensAndTexts) {
    TriggerState t;
    const std::pair<int, int> tens[] = {{1, 1}, {2, 2}, {3, 2}, {4, 3}, {100, 97}, {512, 500}, {1023, 999}};
    for (const auto& [position, expected] : tens) {
        SetTriggerLevel(t, position);
        EXPECT_EQ(t.TriggerLevelTens, expected) << position;
    }
    EXPECT_EQ(TriggerLevelText(t), "9990mV");
    EXPECT_EQ(t.LevelLow, 0xFF);
    EXPECT_EQ(t.LevelHigh, 0x03);
    SetTriggerLevel(t, 3);
    EXPECT_EQ(TriggerLevelText(t), "20mV");
    SetTriggerMode(t, 2);
    EXPECT_EQ(t.TriggerEdge, 0x40);
    EXPECT_STREQ(TriggerModeText(1), "L->H");
}

TEST(Trigger, RequestsCarryEdgeAndLevel) {
    Rig r;
    r.Connected();
    SetTriggerMode(r.trigger, 1);
    SetTriggerLevel(r.trigger, 1023);
    r.settings.Spow = false;
    r.view.timebase = 15;
    r.cycle.Tick();
    r.cycle.Tick(); // the level change is noticed, then the time base
    r.cycle.Start();
    EXPECT_EQ(r.Sent(), std::string("\x60\x0F\xFF\x03\x71", 5));
}
