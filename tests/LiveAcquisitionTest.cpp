#include "BoxWatcher.h"
#include "PortChooser.h"
#include "ProgramHarness.h"
#include "Pty.h"
#include "Samples.h"

#include <QRadioButton>
#include <QTreeWidget>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The bundled instrument simulator as a child process, linked at a path of the test's.
struct Simulator {
    pid_t pid = -1;
    std::string link, log;
    Simulator(const TempDir& dir, std::vector<std::string> args)
        : link(dir.File("com1")), log(dir.File("sim.log")) {
        args.insert(args.begin(), {DRGANIK_SIM, link, "--log", log});
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a test run that was killed
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        RunUntil([&] { return std::filesystem::is_symlink(link); }, 3000);
    }
    ~Simulator() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    int Count(const std::string& what) const {
        std::ifstream in(log);
        int n = 0;
        for (std::string line; std::getline(in, line);)
            n += line.find(what) != std::string::npos;
        return n;
    }
};

QRgb Pixel(const TW1& w1, int x, int y) {
    return w1.ClientImage().pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(LiveAcquisition, ConnectStartAndBlocksArriveAndAreDrawn) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "sine", "--freq", "1500", "--amp", "4", "--offset", "5"});
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n[DISP]\nPC=255\n");
    TestProgram p(dir.File("drganik.ini"));
    auto& acq = p.state.acq;

    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_TRUE(p.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return acq.ProbeCountdown == 0; }, 3000)) << "no probe reply";
    EXPECT_TRUE(Child<TSmoothButton>(*p.W2, "SmoothButton1").isEnabled());

    Child<TSmoothButton>(*p.W2, "SmoothButton1").click();
    EXPECT_TRUE(Child<TSmoothButton>(*p.W2, "SmoothButton2").isEnabled());
    ASSERT_TRUE(RunUntil([&] { return sim.Count("rx request") >= 6; }, 5000)) << "blocks do not keep coming";

    Child<TSmoothButton>(*p.W2, "SmoothButton2")
        .click(); // Stop: the block under way still arrives, nothing more is asked
    RunUntil([] { return false; }, 400);
    const int requests = sim.Count("rx request");
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(sim.Count("rx request"), requests);
    EXPECT_EQ(acq.RxCount, 0);

    // The sine spans 1..9 V: 102..921 counts; every vertex of the trace is on the window in red.
    const auto& s = p.state.samples;
    EXPECT_GT(*std::max_element(s.begin(), s.begin() + 500), 850);
    EXPECT_LT(*std::min_element(s.begin(), s.begin() + 500), 180);
    for (int i = 0; i < 498; ++i) {
        const int x = 30 + (i == 0 ? 0 : i + 1);
        const int y = 30 + 249 - SampleToRow(s[size_t(i)], Rounding::Truncate, 40);
        ASSERT_EQ(Pixel(*p.W1, x, y), 0xFF0000u) << "sample " << i;
    }
    // 1500 Hz at 0.1 ms per division: 3 cycles a block, the peak at bin 15.
    const auto& sp = p.state.spectrum;
    EXPECT_EQ(std::max_element(sp.begin() + 1, sp.end()) - sp.begin(), 15);
    const int h = sp[15] / 10;
    EXPECT_EQ(Pixel(*p.W1, 30 + 15, 346 + 124), 0u) << "bar base";
    EXPECT_EQ(Pixel(*p.W1, 30 + 15, 346 + 124 - h + 1), 0u) << "bar top";
    EXPECT_NE(Pixel(*p.W1, 30 + 15, 346 + 124 - h - 1), 0u) << "above the bar";
}

TEST(LiveAcquisition, SilentInstrumentRecoversWithRedCaption) {
    TempDir dir;
    // A constant signal never crosses the level: an edge-triggered request stays unanswered.
    Simulator sim(dir, {"--amp", "0", "--offset", "2"});
    TempDir::Put(dir.File("drganik.ini"),
                 "[PORTS]\nCOM1=" + sim.link + "\n[ADVANCED]\nTimeout1=8\nCzekaj1=8\n");
    TestProgram p(dir.File("drganik.ini"));
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000));
    p.state.trigger.TriggerEdge = 0x60;
    Child<TSmoothButton>(*p.W2, "SmoothButton1").click();
    ASSERT_TRUE(RunUntil([&] { return !p.Com1.IsOpen(); }, 3000)) << "the time-out closes the port";
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.RecoveryWait > 0 && p.state.acq.RecoveryWait < 8; }, 1000));
    EXPECT_EQ(Child<QLabel>(*p.W1, "Label1").palette().color(QPalette::WindowText), QColor(255, 0, 0));
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.RecoveryWait == 0; }, 3000));
    EXPECT_TRUE(p.Com1.IsOpen());
    EXPECT_EQ(Child<QLabel>(*p.W1, "Label1").palette().color(QPalette::WindowText), QColor(0, 0, 0));
    ASSERT_TRUE(RunUntil([&] { return sim.Count("rx request") >= 2; }, 2000)) << "a fresh request follows";
}

TEST(LiveAcquisition, MissingInstrumentGivesTheProbeMessage) {
    TempDir dir;
    Pty silent; // a port with nothing behind it
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + silent.SlavePath() + "\n[ADVANCED]\nTimer=5\n");
    TestProgram p(dir.File("drganik.ini"));
    BoxWatcher watcher;
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_TRUE(RunUntil([&] { return !watcher.seen.empty(); }, 3000));
    EXPECT_EQ(watcher.seen[0].caption, "Błąd!");
    EXPECT_EQ(watcher.seen[0].text, "Sprawdź czy urządzenie jest podpięte do komputera");
    RunUntil([&] { return !p.Com1.IsOpen(); }, 1000);
    EXPECT_FALSE(Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").isChecked());
    EXPECT_FALSE(Child<TSmoothButton>(*p.W2, "SmoothButton1").isEnabled());
    EXPECT_FALSE(p.Com1.IsOpen());
}

TEST(LiveAcquisition, APortThatCannotOpenIsReportedAndTheButtonStaysPressed) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + dir.File("nothing") + "\n");
    TestProgram p(dir.File("drganik.ini"));
    BoxWatcher watcher;
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text.toStdString(),
              "Specified device not found (" + dir.File("nothing") + ").");
    EXPECT_TRUE(Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").isChecked());
    EXPECT_FALSE(Child<TSmoothButton>(*p.W2, "SmoothButton1").isEnabled());
}

TEST(LiveAcquisition, RecoveryGoesOnWhileTheReopenErrorIsOnScreen) {
    TempDir dir;
    auto pty = std::make_unique<Pty>();
    TempDir::Put(dir.File("drganik.ini"),
                 "[PORTS]\nCOM1=" + pty->SlavePath() + "\n[ADVANCED]\nTimer=5\nTimeout1=6\nCzekaj1=8\n");
    TestProgram p(dir.File("drganik.ini"));
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    pty->Write("U");
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000));
    Child<TSmoothButton>(*p.W2, "SmoothButton1").click();
    BoxWatcher watcher;
    watcher.HoldBoxes(true);
    // The reopen fails and its message stays open; behind it the cycle keeps counting and retrying.
    // The box runs its own event loop, so the watching is done by a timer inside that loop.
    std::set<int> waits;
    int openMax = 0;
    QElapsedTimer sinceOpen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (p.errors.OpenBoxes() == 0)
            return;
        if (!sinceOpen.isValid())
            sinceOpen.start();
        openMax = std::max(openMax, p.errors.OpenBoxes());
        waits.insert(p.state.acq.RecoveryWait);
        if (sinceOpen.elapsed() > 1500)
            watcher.HoldBoxes(false);
    });
    sampler.start(2);
    pty.reset(); // the adapter is unplugged: its device disappears
    ASSERT_TRUE(RunUntil([&] { return sinceOpen.isValid() && p.errors.OpenBoxes() == 0; }, 8000));
    EXPECT_GT(waits.size(), 5u) << "ticks stopped while the box was open";
    EXPECT_TRUE(waits.count(8)) << "a second recovery wait began";
    EXPECT_EQ(openMax, 1) << "the same error is not stacked";
}

// The adapter picked for Com1 in the settings: taken back by "Anuluj", kept by "Zapisz", used at the next
// connect.
TEST(LiveAcquisition, DeviceChosenInTheSettingsServesTheNextConnect) {
    TempDir dir;
    Simulator sim(dir, {});
    const auto ini = dir.File("drganik.ini");
    TempDir::Put(ini, "; mine\n[PORTS]\nCOM2=/dev/ttyUSB7\n");
    TestProgram p(ini);
    BoxWatcher watcher;
    auto& status = Child<TStatusBar>(*p.W1, "StatusBar1");
    EXPECT_EQ(status.PanelHint(9), "/dev/ttyS0");
    auto& chooser = Child<TPortChooser>(*p.Form1, "PortChooser");
    chooser.Discover = [] {
        return std::vector<SerialDevice>{{"", "/dev/ttyS0", ""},
                                         {"/dev/serial/by-id/usb-X", "/dev/ttyUSB0", "X"}};
    };
    auto& path = Child<QLineEdit>(chooser, "Path");
    const auto com = [&](int i) {
        return Child<QWidget>(*p.Form1, "RadioGroup1").findChildren<QRadioButton*>().at(i);
    };
    const auto openChooser = [&] {
        Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton6").click();
        Child<QPushButton>(*p.Form1, "PortDeviceButton").click();
        EXPECT_TRUE(chooser.isVisible());
        EXPECT_EQ(chooser.windowTitle(), "Urządzenie dla Com1");
    };

    openChooser();
    auto& list = Child<QTreeWidget>(chooser, "List");
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.currentItem(), list.topLevelItem(0)) << "the device in use is selected";
    EXPECT_EQ(com(1)->toolTip(), "/dev/ttyUSB7");
    list.setCurrentItem(list.topLevelItem(1));
    EXPECT_EQ(path.text(), "/dev/serial/by-id/usb-X") << "the stable name, when there is one";
    Child<QPushButton>(chooser, "OkButton").click();
    EXPECT_EQ(com(0)->toolTip(), "/dev/serial/by-id/usb-X");
    Child<QPushButton>(*p.Form1, "Button2").click(); // "Anuluj"
    EXPECT_EQ(com(0)->toolTip(), "/dev/ttyS0");
    EXPECT_EQ(TempDir::Get(ini), "; mine\n[PORTS]\nCOM2=/dev/ttyUSB7\n");

    openChooser();
    path.setText("/dev/x\nCP=5");
    Child<QPushButton>(chooser, "OkButton").click();
    EXPECT_TRUE(chooser.isVisible()) << "a line break never reaches the settings file";
    path.setText(QString::fromStdString(sim.link)); // typed: the simulator's link
    Child<QPushButton>(chooser, "OkButton").click();
    Child<QPushButton>(*p.Form1, "Button1").click(); // "Zapisz"
    EXPECT_EQ(TempDir::Get(ini).rfind("; mine\n[PORTS]\nCOM2=/dev/ttyUSB7\nCOM1=" + sim.link + "\n", 0), 0u);
    EXPECT_EQ(status.PanelText(9), "Com1");
    EXPECT_EQ(status.PanelHint(9), QString::fromStdString(sim.link));
    EXPECT_TRUE(watcher.seen.empty()) << "a new device for the same port needs no restart";

    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_TRUE(p.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000)) << "no probe reply";
    Child<TSmoothButton>(*p.W2, "SmoothButton1").click();
    ASSERT_TRUE(RunUntil([&] { return sim.Count("rx request") >= 2; }, 5000)) << "no blocks";
}

// --port: this run's device for the selected port; the settings file stays as it was.
TEST(LiveAcquisition, PortGivenForTheRunIsUsedAndNotWritten) {
    TempDir dir;
    Simulator sim(dir, {});
    const auto ini = dir.File("drganik.ini");
    TempDir::Put(ini, "[PORTS]\nCOM1=/dev/ttyUSB0\n");
    TestProgram p(ini, true, sim.link);
    EXPECT_EQ(Child<TStatusBar>(*p.W1, "StatusBar1").PanelHint(9), QString::fromStdString(sim.link));
    Child<TSmoothFlatButton>(*p.W2, "SmoothFlatButton5").click();
    ASSERT_TRUE(p.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 3000)) << "no probe reply";
    EXPECT_EQ(TempDir::Get(ini), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
}
