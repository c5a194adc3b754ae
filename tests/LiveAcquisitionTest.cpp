#include "BlockCsv.h"
#include "BoxWatcher.h"
#include "Measurements.h"
#include "PortChooser.h"
#include "ProgramHarness.h"
#include "Protocol.h"
#include "Pty.h"
#include "Samples.h"
#include "Simulator.h"

#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <charconv>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Generous: the suites run two at a time beside other builds.
constexpr int kLong = 20000;

QRgb Pixel(TW1& w1, int x, int y) {
    return w1.ClientImage().pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(LiveAcquisition, ConnectStartAndBlocksArriveAndAreDrawn) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "sine", "--freq", "1500", "--amp", "4", "--offset", "5"});
    // A tick longer than a block's time on the line: each block is whole by the next tick.
    TempDir::Put(dir.File("drganik.ini"),
                 "[PORTS]\nCOM1=" + sim.link + "\n[DISP]\nPC=255\n[ADVANCED]\nTimer=200\n");
    TestProgram p(dir.File("drganik.ini"));
    auto& acq = p.state.acq;

    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(p.session.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::Start).isEnabled());

    // For each block, the tick that, once it had run, first saw the block's last byte gone from the
    // instrument, and the tick that showed the block. Ticks inside the program's pause before its
    // next request are not counted: the block is taken already.
    const int loop = QThread::currentThread()->loopLevel();
    int ticks = 0;
    std::vector<int> sent, shown;
    QObject::connect(&p.session.Timer1, &PollTimer::timeout, [&] {
        ticks += QThread::currentThread()->loopLevel() == loop;
        for (int n = sim.Count("tx block"); int(sent.size()) < n;)
            sent.push_back(ticks);
    });
    const auto showBlock = p.W1->OnBlockShown;
    p.W1->OnBlockShown = [&](int timebase) {
        shown.push_back(ticks);
        showBlock(timebase);
    };
    p.W2->Press(TW2::ToolButton::Start);
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::Stop).isEnabled());
    // Stop while the instrument sends a block: the block is still taken, nothing more is asked.
    ASSERT_TRUE(RunUntil([&] { return shown.size() >= 8 && !sim.LastLineHas("tx block"); }, kLong))
        << "blocks do not keep coming";
    // A block that has arrived is taken at the next tick, however late that tick comes; one left for
    // the port's own notification comes two ticks late.
    for (size_t n = 0; n < shown.size(); ++n)
        EXPECT_LE(shown[n], sent.at(n)) << "block " << n << " waited past the next tick";
    const int requests = sim.Count("rx request");
    p.W2->Press(TW2::ToolButton::Stop);
    ASSERT_TRUE(
        RunUntil([&] { return sim.LastLineHas("tx block") && Idle(acq) && !acq.DataArrived; }, kLong));
    EXPECT_FALSE(RunUntil([&] { return sim.Count("rx request") > requests; }, 500)) << "a request after Stop";

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
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong));
    p.state.trigger.TriggerEdge = 0x60;
    p.W2->Press(TW2::ToolButton::Start);
    ASSERT_TRUE(RunUntil([&] { return !p.session.Com1.IsOpen(); }, kLong)) << "the time-out closes the port";
    ASSERT_TRUE(
        RunUntil([&] { return p.state.acq.RecoveryWait > 0 && p.state.acq.RecoveryWait < 8; }, kLong));
    EXPECT_EQ(p.W1->TimeTitle().palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(p.W1->TriggerWaitNote().isVisible());
    EXPECT_EQ(p.W1->TriggerWaitNote().text(), "Czekam na wyzwolenie…");
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.RecoveryWait == 0; }, kLong));
    EXPECT_TRUE(p.session.Com1.IsOpen());
    EXPECT_EQ(p.W1->TimeTitle().palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_TRUE(p.W1->WaitingForTrigger()) << "until a block comes";
    ASSERT_TRUE(RunUntil([&] { return sim.Count("rx request") >= 2; }, kLong)) << "a fresh request follows";
}

namespace {

// A line of drganik-rec --measure read back: block, time, then the read-outs (empty: not measurable).
Measurements MeasurementsOfLine(const std::string& line) {
    std::vector<std::optional<double>> f;
    std::istringstream in(line.substr(0, line.find('\r')));
    for (std::string field; std::getline(in, field, ',');) {
        double v = 0; // from_chars: the C library's locale is the user's here
        const bool read = std::from_chars(field.data(), field.data() + field.size(), v).ec == std::errc();
        f.push_back(read ? std::optional(v) : std::nullopt);
    }
    Measurements m;
    m.Frequency = f.at(2);
    m.Period = f.at(3);
    m.Vpp = *f.at(4);
    m.Vmin = *f.at(5);
    m.Vmax = *f.at(6);
    m.Mean = *f.at(7);
    m.Rms = *f.at(8);
    if (f.at(9))
        m.Duty = *f.at(9) / 100;
    return m;
}

} // namespace

TEST(LiveAcquisition, SpaceStartsAndStopsWhereverTheFocusIsAndPomiaryMeasuresTheStream) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "sine", "--freq", "1500", "--amp", "4", "--offset", "5"});
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n");
    TestProgram p(dir.File("drganik.ini"));
    auto& connect = Control<QAbstractButton>(*p.W2, "SmoothFlatButton5");
    connect.click();
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    p.measurements->Toggle();

    // The connect toggle has the focus: Space starts, and does not also release it.
    p.W2->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.W2.get()));
    connect.setFocus();
    QTest::keyClick(&connect, Qt::Key_Space);
    EXPECT_TRUE(p.state.acq.Running);
    EXPECT_TRUE(connect.isChecked());
    ASSERT_TRUE(RunUntil([&] { return p.measurements->Updates() >= 2; }, kLong)) << "blocks are not measured";
    // 1500 Hz at 0,1 ms/dz; the sine spans 1..9 V.
    EXPECT_EQ(p.measurements->ReadingText(TMeasurementsWindow::Reading::Frequency), "1,5kHz");
    const QString vpp = p.measurements->ReadingText(TMeasurementsWindow::Reading::Vpp);
    EXPECT_NEAR(QString(vpp).replace(',', '.').chopped(1).toDouble(), 8.0, 0.1) << vpp.toStdString();

    p.W1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.W1.get()));
    QTest::keyClick(p.W1.get(), Qt::Key_Space);
    EXPECT_FALSE(p.state.acq.Running);
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::Start).isEnabled());

    // drganik-rec's line of measurements for the last block reads as "Pomiary" shows that block.
    ASSERT_TRUE(RunUntil([&] { return !p.state.acq.Running && p.state.acq.RxCount == 0; }, kLong));
    const auto& history = p.session.capture.history;
    std::string line;
    AppendMeasureCsv(line, history.Size(), history.At(history.Size() - 1));
    const MeasurementTexts t = TextsOf(MeasurementsOfLine(line), QLocale().decimalPoint().toStdString());
    using R = TMeasurementsWindow::Reading;
    const auto shown = [&] {
        const auto text = [&](R r) { return p.measurements->ReadingText(r).toStdString(); };
        return std::vector{text(R::Frequency), text(R::Period), text(R::Vpp), text(R::Vmin),
                           text(R::Vmax),      text(R::Mean),   text(R::Rms), text(R::Duty)};
    };
    const std::vector expected{t.Frequency, t.Period, t.Vpp, t.Vmin, t.Vmax, t.Mean, t.Rms, t.Duty};
    EXPECT_TRUE(RunUntil([&] { return shown() == expected; }, kLong)) << line;
}

TEST(LiveAcquisition, MissingInstrumentGivesTheProbeMessage) {
    TempDir dir;
    Pty silent; // a port with nothing behind it
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + silent.SlavePath() + "\n[ADVANCED]\nTimer=5\n");
    TestProgram p(dir.File("drganik.ini"));
    BoxWatcher watcher;
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(RunUntil([&] { return !watcher.seen.empty(); }, kLong));
    EXPECT_EQ(watcher.seen[0].caption, "Błąd!");
    EXPECT_EQ(watcher.seen[0].text, "Sprawdź czy urządzenie jest podpięte do komputera");
    RunUntil([&] { return !p.session.Com1.IsOpen(); }, kLong);
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Connect).isChecked());
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Start).isEnabled());
    EXPECT_FALSE(p.session.Com1.IsOpen());
}

TEST(LiveAcquisition, APortThatCannotOpenIsReportedAndTheButtonIsReleased) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + dir.File("nothing") + "\n");
    TestProgram p(dir.File("drganik.ini"));
    BoxWatcher watcher;
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text.toStdString(),
              "Specified device not found (" + dir.File("nothing") + ").");
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Connect).isChecked()) << "nothing is connected";
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Start).isEnabled());
    p.W2->Press(TW2::ToolButton::Connect); // the next click tries again
    EXPECT_EQ(watcher.seen.size(), 2u);
}

TEST(LiveAcquisition, RecoveryGoesOnWhileTheReopenErrorIsOnScreen) {
    TempDir dir;
    // The port is a link of the test's own: once the adapter is gone nothing else can answer there.
    auto pty = std::make_unique<Pty>();
    const std::string link = dir.File("com1");
    std::filesystem::create_symlink(pty->SlavePath(), link);
    TempDir::Put(dir.File("drganik.ini"),
                 "[PORTS]\nCOM1=" + link + "\n[ADVANCED]\nTimer=5\nTimeout1=6\nCzekaj1=8\n");
    TestProgram p(dir.File("drganik.ini"));
    p.W2->Press(TW2::ToolButton::Connect);
    pty->Write("U");
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong));
    p.W2->Press(TW2::ToolButton::Start);
    BoxWatcher watcher;
    watcher.HoldBoxes(true);
    // The reopen fails and its message stays open; behind it the cycle keeps counting and retrying.
    // The box runs its own event loop, so the watching is done by a timer inside that loop: it lets
    // the box go once a second recovery wait has begun behind it, or when the deadline has passed.
    std::set<int> waits;
    QElapsedTimer sinceOpen;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (p.errors.OpenBoxes() == 0)
            return;
        if (!sinceOpen.isValid())
            sinceOpen.start();
        waits.insert(p.state.acq.RecoveryWait);
        if ((waits.count(8) && waits.size() > 5) || sinceOpen.elapsed() > kLong)
            watcher.HoldBoxes(false);
    });
    sampler.start(2);
    std::filesystem::remove(link); // the adapter is unplugged: its device disappears
    pty.reset();
    ASSERT_TRUE(RunUntil([&] { return sinceOpen.isValid() && p.errors.OpenBoxes() == 0; }, 2 * kLong));
    EXPECT_EQ(watcher.seen.at(0).text.toStdString(), "Specified device not found (" + link + ").");
    EXPECT_GT(waits.size(), 5u) << "ticks stopped while the box was open";
    EXPECT_TRUE(waits.count(8)) << "a second recovery wait began";
    EXPECT_TRUE(p.W1->DeviceMissing()) << "the note tells of the cable, not of a trigger";
    // The reopen keeps failing, a wait after a wait; the note says so, and no box comes again.
    int reopens = 0;
    QObject::connect(&p.session.Timer1, &PollTimer::timeout,
                     [&] { reopens += p.state.acq.RecoveryWait == protocol::ReopenAtRecoveryWait; });
    ASSERT_TRUE(RunUntil([&] { return reopens >= 2; }, 2 * kLong));
    EXPECT_EQ(watcher.seen.size(), 1u) << "a box at every wait would keep the user from Stop";
    EXPECT_TRUE(p.W1->DeviceMissing());
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
    EXPECT_EQ(p.W1->StatusHint(StatusPanel::Port), "/dev/ttyS0");
    auto& chooser = p.Form1->DeviceChooser();
    chooser.Discover = [] {
        return std::vector<SerialDevice>{{"", "/dev/ttyS0", ""},
                                         {"/dev/serial/by-id/usb-X", "/dev/ttyUSB0", "X"}};
    };
    auto& path = chooser.PathField();
    const auto com = [&](int i) { return &p.Form1->PortButton(i); };
    const auto openChooser = [&] {
        p.W2->Press(TW2::ToolButton::Settings);
        p.Form1->Press(TForm1::DialogButton::PortDevice);
        EXPECT_TRUE(chooser.isVisible());
        EXPECT_EQ(chooser.windowTitle(), "Urządzenie dla Com1");
    };

    openChooser();
    auto& list = chooser.DeviceList();
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.currentItem(), list.topLevelItem(0)) << "the device in use is selected";
    EXPECT_EQ(com(1)->toolTip(), "/dev/ttyUSB7");
    list.setCurrentItem(list.topLevelItem(1));
    EXPECT_EQ(path.text(), "/dev/serial/by-id/usb-X") << "the stable name, when there is one";
    chooser.Ok().click();
    EXPECT_EQ(com(0)->toolTip(), "/dev/serial/by-id/usb-X");
    p.Form1->Press(TForm1::DialogButton::Cancel); // "Anuluj"
    EXPECT_EQ(com(0)->toolTip(), "/dev/ttyS0");
    EXPECT_EQ(TempDir::Get(ini), "; mine\n[PORTS]\nCOM2=/dev/ttyUSB7\n");

    openChooser();
    for (const char* typed : {"/dev/x\nCP=5", "/dev/x\rCP=5", "/dev/x\tY", "/dev/\x1b[31mx", "/dev/x\x7fy"}) {
        path.setText(typed);
        chooser.Ok().click();
        EXPECT_TRUE(chooser.isVisible()) << "a control character never reaches the settings file: " << typed;
    }
    path.setText(QString::fromStdString(sim.link)); // typed: the simulator's link
    chooser.Ok().click();
    p.Form1->Press(TForm1::DialogButton::Save); // "Zapisz"
    EXPECT_EQ(TempDir::Get(ini).rfind("; mine\n[PORTS]\nCOM2=/dev/ttyUSB7\nCOM1=" + sim.link + "\n", 0), 0u);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Port), "Com1");
    EXPECT_EQ(p.W1->StatusHint(StatusPanel::Port), QString::fromStdString(sim.link));
    EXPECT_TRUE(watcher.seen.empty()) << "a new device for the same port needs no restart";

    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(p.session.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    p.W2->Press(TW2::ToolButton::Start);
    ASSERT_TRUE(RunUntil([&] { return sim.Count("rx request") >= 2; }, kLong)) << "no blocks";
}

// --port: this run's device for the selected port; the settings file stays as it was.
TEST(LiveAcquisition, PortGivenForTheRunIsUsedAndNotWritten) {
    TempDir dir;
    Simulator sim(dir, {});
    const auto ini = dir.File("drganik.ini");
    TempDir::Put(ini, "[PORTS]\nCOM1=/dev/ttyUSB0\n");
    TestProgram p(ini, true, sim.link);
    EXPECT_EQ(p.W1->StatusHint(StatusPanel::Port), QString::fromStdString(sim.link));
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(p.session.Com1.IsOpen());
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong)) << "no probe reply";
    EXPECT_EQ(TempDir::Get(ini), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
}
