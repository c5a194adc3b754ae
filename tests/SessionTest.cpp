// The acquisition session with no window at all, against the simulator: what a
// recorder without a desktop relies on.

#include "AcquisitionSession.h"
#include "ProgramState.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "Simulator.h"

#include <gtest/gtest.h>

namespace {

constexpr int kLong = 20000; // generous: the suites run beside other builds

struct HeadlessRig {
    TempDir dir;
    Simulator sim{dir, {"--signal", "sine", "--freq", "200", "--amp", "2", "--offset", "5"}};
    SettingsFile ini{[this] {
        TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n[ADVANCED]\nTimer=20\n");
        return dir.File("drganik.ini");
    }()};
    ProgramState state{ReadSettings(ini)};
    std::vector<std::string> errors;
    AcquisitionSession session{state, ini, [this](const std::function<void()>& task) {
                                   try {
                                       task();
                                   } catch (const std::exception& e) {
                                       errors.push_back(e.what());
                                   }
                               }};
    std::size_t Blocks() const { return session.capture.history.Size(); }
};

} // namespace

TEST(Session, ConnectsStartsTakesBlocksStopsAndTakesASingleShotWithNoWindow) {
    HeadlessRig r;
    auto& acq = r.state.acq;
    EXPECT_EQ(r.session.Timer1.interval(), 20) << "the poll interval comes from the settings";
    r.session.alone.timebase = 2;
    r.session.Connect();
    ASSERT_TRUE(RunUntil([&] { return acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    EXPECT_TRUE(r.session.alone.startEnabled);

    r.session.Start();
    ASSERT_TRUE(RunUntil([&] { return r.Blocks() >= 3; }, kLong)) << "blocks do not come";
    r.session.Stop();
    ASSERT_TRUE(RunUntil([&] { return Idle(acq) && r.sim.LastLineHas("tx block"); }, kLong));
    const std::size_t afterStop = r.Blocks();
    const int requests = r.sim.Count("rx request");
    EXPECT_EQ(r.session.capture.history.At(afterStop - 1).timebase, 2) << "the headless knob's T/dz is sent";
    // A 2 V sine about 5 V: every sample between 3 and 7 V (307 and 717 of 1023), with both seen.
    const auto& samples = r.session.capture.history.At(afterStop - 1).samples;
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_GE(*low, 290);
    EXPECT_LE(*high, 735);
    EXPECT_GT(*high - *low, 300) << "a decoded sine, not a constant";

    r.session.SingleShot();
    ASSERT_TRUE(RunUntil([&] { return !acq.Running && !r.session.SingleShotArmed(); }, kLong));
    EXPECT_EQ(r.Blocks(), afterStop + 1) << "a single shot takes exactly one block";
    EXPECT_EQ(r.sim.Count("rx request"), requests + 1) << "and asks for exactly one";
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
}
