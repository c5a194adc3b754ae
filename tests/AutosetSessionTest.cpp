// Autoset on the headless session against the simulator: the settings it
// chooses, and the triggered blocks that follow them.

#include "AcquisitionSession.h"
#include "AutosetRun.h"
#include "HeadlessAutoset.h"
#include "ProgramState.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "Simulator.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

constexpr int kLong = 30000; // generous: the suites run beside other builds

struct AutosetRig {
    explicit AutosetRig(std::vector<std::string> signal) : sim(dir, std::move(signal)) {
        session.capture.OnTaken = [this] {
            run.BlockShown(state.samples, session.capture.history.At(Blocks() - 1).timebase);
        };
        run.OnFinished = [this](const AutosetEnd& e) { end = e; };
    }
    std::size_t Blocks() const { return session.capture.history.Size(); }
    const CapturedBlock& Block(std::size_t i) const { return session.capture.history.At(i); }

    // Connected, then F6 until it ends; first, when given, whatever the user did before F6.
    const AutosetEnd& Autoset(const std::function<void()>& before = {}) {
        session.Connect();
        EXPECT_TRUE(RunUntil([&] { return state.acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
        if (before)
            before();
        run.Begin();
        EXPECT_TRUE(RunUntil([&] { return end.has_value(); }, kLong)) << "autoset does not end";
        return *end;
    }

    TempDir dir;
    Simulator sim;
    SettingsFile ini{[this] {
        TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n[ADVANCED]\nTimer=20\n");
        return dir.File("drganik.ini");
    }()};
    ProgramState state{ReadSettings(ini)};
    std::vector<std::string> errors;
    AcquisitionSession::Guard guard = [this](const std::function<void()>& task) {
        try {
            task();
        } catch (const std::exception& e) {
            errors.push_back(e.what());
        }
    };
    AcquisitionSession session{state, ini, guard};
    HeadlessAutosetControls controls{session, state};
    AutosetRun run{session.Timer1, state, controls, guard};
    std::optional<AutosetEnd> end;
};

// Where a triggered block first falls below the level it started at or above.
int FirstFall(const CapturedBlock& b, int level) {
    for (int i = 0; i < 500; ++i)
        if (b.samples[size_t(i)] < level)
            return i;
    return 500;
}

// The blocks after autoset's answer: the one requested before it, then blocks requested
// with the trigger, each starting on the rising edge at the level, at one phase.
void ExpectStableTriggeredPicture(AutosetRig& r) {
    const AutosetResult& set = *r.end->result;
    const std::size_t first = r.Blocks();
    ASSERT_TRUE(RunUntil([&] { return r.Blocks() >= first + 3; }, kLong)) << "no blocks after autoset";
    // The rising edge's bits, with the slow-down bit of the settings (Spow) beside them.
    const std::string request = (r.state.settings.Spow ? "mode=0x61" : "mode=0x60") +
                                std::string(" timebase=") + std::to_string(set.timebase) +
                                " level=" + std::to_string(set.triggerLevel);
    EXPECT_GE(r.sim.Count(request), 2) << "the requests carry the rising edge and the level";
    int phase = -1;
    for (std::size_t i = first + 1; i < first + 3; ++i) {
        const CapturedBlock& b = r.Block(i);
        EXPECT_EQ(b.timebase, set.timebase);
        EXPECT_GE(b.samples[0], set.triggerLevel) << "block " << i;
        const int fall = FirstFall(b, set.triggerLevel);
        ASSERT_LT(fall, 500) << "a period shows";
        EXPECT_TRUE(phase < 0 || std::abs(fall - phase) <= 2)
            << "the picture moves: " << phase << ", " << fall;
        phase = fall;
    }
}

} // namespace

// From a run waiting for a trigger above the signal (no reply until the cycle's time-out):
// no "no signal", and the picture stands.
TEST(AutosetSession, KiloHertzSineTriggersOnItsRisingEdgeAtTheMiddle) {
    AutosetRig r({"--fast", "--signal", "sine", "--freq", "1000", "--amp", "3", "--offset", "5"});
    const AutosetEnd& e = r.Autoset([&] {
        SetTriggerMode(r.state.trigger, 1);
        SetTriggerLevel(r.state.trigger, 1000);
        r.session.Start();
        ASSERT_TRUE(RunUntil([&] { return r.sim.Count("no trigger event") > 0; }, kLong));
    });
    ASSERT_TRUE(e.result);
    EXPECT_EQ(e.message, "Autoset: 0,2ms/dz, 1V/dz, wyzwalanie zboczem narastającym");
    EXPECT_EQ(e.result->timebase, 1) << "four periods at 0,2 ms/dz";
    EXPECT_EQ(e.result->volt, 0) << "6 V of swing needs 1 V/dz";
    EXPECT_EQ(e.result->positionMv, 0);
    EXPECT_NEAR(e.result->triggerLevel, 512, 2);
    EXPECT_EQ(e.blocksCounted, 2);
    EXPECT_EQ(r.session.alone.timebase, 1);
    EXPECT_EQ(r.state.trigger.TriggerMode, 1);
    EXPECT_EQ(r.state.trigger.TriggerLevel, e.result->triggerLevel);
    EXPECT_TRUE(r.state.acq.Running);
    ExpectStableTriggeredPicture(r);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
}

TEST(AutosetSession, FiftyHertzSquareShowsTwoToFivePeriods) {
    AutosetRig r({"--fast", "--signal", "square", "--freq", "50", "--amp", "3", "--offset", "5"});
    const AutosetEnd& e = r.Autoset();
    ASSERT_TRUE(e.result) << e.message;
    EXPECT_TRUE(e.result->timebase == 4 || e.result->timebase == 5) << e.result->timebase;
    EXPECT_EQ(e.result->volt, 0);
    EXPECT_NEAR(e.result->triggerLevel, 512, 1);
    EXPECT_LE(e.blocksCounted, 4);
    ExpectStableTriggeredPicture(r);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
}

// Other shapes, frequencies and offsets: the T/dz for their periods, the V/dz and
// position for their swing and place in the range.
TEST(AutosetSession, ChoosesRangeAndPositionForSwingAndOffset) {
    struct Case {
        std::vector<std::string> signal;
        int timebase, volt, positionMv, level;
    };
    const Case cases[] = {
        // 9,1..9,9 V: four periods at 1 ms/dz already, on 0,1 V/dz at the top of the range.
        {{"--signal", "sine", "--freq", "200", "--amp", "0.4", "--offset", "9.5"}, 3, 3, 9000, 973},
        // 0,2..2,2 V: 2 V does not fit 9/10 of 2 V; the view stays at 0 V.
        {{"--signal", "triangle", "--freq", "20", "--amp", "1", "--offset", "1.2"}, 6, 1, 0, 123},
        // 0,5..3,5 V: forty periods at 1 ms/dz, four at 0,1 ms/dz.
        {{"--signal", "square", "--freq", "2000", "--amp", "1.5", "--offset", "2"}, 0, 1, 0, 205},
        // 4..8 V, 3,2 periods at 20 ms/dz, drawn as they come: the cycle abandons a block there
        // when the T/dz moves.
        {{"--signal", "sine", "--freq", "8", "--amp", "2", "--offset", "6"}, 7, 1, 3500, 615},
    };
    for (const Case& c : cases) {
        auto signal = c.signal;
        signal.push_back("--fast");
        AutosetRig r(signal);
        const AutosetEnd& e = r.Autoset();
        ASSERT_TRUE(e.result) << e.message;
        EXPECT_EQ(e.result->outcome, AutosetOutcome::Periodic);
        EXPECT_EQ(e.result->timebase, c.timebase);
        EXPECT_EQ(e.result->volt, c.volt);
        EXPECT_EQ(e.result->positionMv, c.positionMv);
        EXPECT_NEAR(e.result->triggerLevel, c.level, 2);
        EXPECT_EQ(r.state.positionMv, c.positionMv);
        EXPECT_EQ(r.session.alone.volt, c.volt);
        ExpectStableTriggeredPicture(r);
        EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    }
}

// A constant: the finest V/dz about it, no trigger, still acquiring. Not connected, and
// silence: said so.
TEST(AutosetSession, ConstantGetsItsRangeAndNoTriggerAndSilenceIsSaid) {
    {
        AutosetRig r({"--fast", "--signal", "sine", "--amp", "0", "--offset", "2.5"});
        const AutosetEnd& e = r.Autoset();
        ASSERT_TRUE(e.result);
        EXPECT_EQ(e.message, "Autoset: sygnał stały, 0,1V/dz, bez wyzwalania");
        EXPECT_EQ(e.result->volt, 3);
        EXPECT_EQ(e.result->positionMv, 2000) << "2,5 V in the middle of 2..3 V";
        EXPECT_EQ(r.state.trigger.TriggerMode, 0);
        EXPECT_EQ(e.blocksCounted, 2);
        const std::size_t after = r.Blocks();
        ASSERT_TRUE(RunUntil([&] { return r.Blocks() >= after + 2; }, kLong)) << "acquiring goes on";
        EXPECT_EQ(r.Block(after + 1).triggerMode, 0);
    }
    AutosetRig r({"--fast", "--drop-every", "1"}); // answers the probe, never a request
    r.run.Begin();
    ASSERT_TRUE(r.end);
    EXPECT_EQ(r.end->message, "Autoset: najpierw połącz się z urządzeniem");
    EXPECT_FALSE(r.state.acq.Running) << "nothing to acquire from";
    EXPECT_EQ(r.sim.Count("rx request"), 0);
    r.end.reset();
    const AutosetEnd& e = r.Autoset();
    EXPECT_EQ(e.message, "Brak sygnału: urządzenie nie odpowiada");
    EXPECT_FALSE(e.result);
    EXPECT_EQ(e.blocksTaken, 0);
    EXPECT_TRUE(r.state.acq.Running) << "it keeps asking, so a signal that comes shows";
    EXPECT_GE(r.sim.Count("dropped"), 2) << "after the cycle's time-outs, not before";
}
