#include "BoxWatcher.h"
#include "PlaceWindowPair.h"
#include "ProgramHarness.h"
#include "Pty.h"

#include <QScreen>
#include <QSettings>
#include <gtest/gtest.h>

TEST(Startup, WindowsComeUpWithTheirCaptionsSizesAndStartValues) {
    TempDir dir;
    BoxWatcher watcher;
    TestProgram p(dir.File("drganik.ini"));
    EXPECT_TRUE(watcher.seen.empty()) << "pictures present: no message";

    EXPECT_EQ(p.W1->windowTitle(), "Zentak Drganik PRX7 ver.1.1");
    EXPECT_EQ(p.W1->size(), QSize(578, 519));
    EXPECT_FALSE(p.W1->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(p.W1->isVisible());
    EXPECT_EQ(p.W2->windowTitle(), "Narzędzia");
    EXPECT_EQ(p.W2->size(), QSize(162, 519));
    EXPECT_TRUE(p.W2->isVisible());
    EXPECT_EQ(p.Form1->windowTitle(), "Ustawienia");
    EXPECT_FALSE(p.Form1->isVisible());

    // Settings defaults without a file, and the file is not created by reading.
    EXPECT_EQ(p.session.Timer1.interval(), 25);
    EXPECT_TRUE(p.session.Timer1.isActive());
    EXPECT_EQ(p.session.Com1.PortNum(), 1);
    EXPECT_FALSE(p.session.Com1.IsOpen());
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Port), "Com1");
    EXPECT_TRUE(p.state.settings.FW && p.state.settings.WYSSTATUS && p.state.settings.Spow);
    EXPECT_EQ(p.state.settings.Czekaj1, 20);
    EXPECT_FALSE(std::filesystem::exists(dir.File("drganik.ini")));

    EXPECT_EQ(p.state.volt.SpectrumDivisor, 10);
    EXPECT_EQ(p.state.trigger.TriggerLevel, 1);
    EXPECT_EQ(p.state.trigger.LevelLow, 1);
    EXPECT_EQ(p.state.time.TimeUnit, "ms");
    EXPECT_FLOAT_EQ(p.state.tables.CosTable[0], 1.0f);
    EXPECT_NEAR(p.state.tables.SinTable[250], 9.2654e-5f, 1e-8f) << "sin(6.283 / 2), not sin(pi)";

    const char* volts[] = {"10V", "9V", "8V", "7V", "6V", "5V", "4V", "3V", "2V", "1V", "0V"};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, i), volts[i]);
    const char* times[] = {"0ms", "0,5ms", "1ms", "1,5ms", "2ms"};
    const char* freqs[] = {"0kHz", "12,5kHz", "25kHz", "37,5kHz", "50kHz"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Times, i), times[i]);
        EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Frequencies, i), freqs[i]);
    }

    // The tool window's controls as the form leaves them.
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Start).isEnabled());
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Stop).isEnabled());
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::Reset).isEnabled());
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::Connect).isCheckable());
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::Connect).isChecked());
    EXPECT_EQ(p.W2->Button(TW2::ToolButton::Connect).toolTip(), "Połącz z drganikiem");
    using enum TW2::ToolButton;
    for (const auto b : {MarkersOn, MarkersOff, MarkersReset, MarkersToExtremes})
        EXPECT_FALSE(p.W2->Button(b).isEnabled()) << int(b);
    EXPECT_EQ(p.W2->LevelText(), "10 mV");
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Level).Position(), 1);
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Volts).MaxValue(), 3);
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Time).MaxValue(), 15);
    EXPECT_EQ(p.W2->TriggerSwitch().Picture().size(), QSize(16, 75));
    EXPECT_EQ(p.W2->KnobPanelGeometry(TW2::ToolKnob::Level), QRect(73, 337, 88, 118));
    EXPECT_EQ(p.W2->KnobPanelGeometry(TW2::ToolKnob::Time), QRect(0, 178, 161, 159));
    EXPECT_EQ(p.W1->Progress().geometry(), QRect(304, 502, 110, 16));

    // Both windows placed as a centred pair.
    const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
    const auto want = PlaceWindowPair({area.width(), area.height()},
                                      {p.W1->frameGeometry().width(), p.W1->frameGeometry().height()},
                                      {p.W2->frameGeometry().width(), p.W2->frameGeometry().height()});
    EXPECT_EQ(p.W2->frameGeometry().topLeft(), QPoint(want.w2.left, want.w2.top));
    EXPECT_EQ(p.W1->frameGeometry().topLeft(), QPoint(want.w1.left, want.w1.top));
}

TEST(Startup, SettingsFromTheFileReachTimerPortAndStatusBar) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[DISP]\nCP=3\nPCF=255\n[ADVANCED]\nTimer=0\nSpow=0\n");
    TestProgram p(dir.File("drganik.ini"));
    EXPECT_EQ(p.session.Com1.PortNum(), 3);
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Port), "Com3");
    // Qt's file dialogs keep their history in a folder of this run, not the user's configuration.
    const QString history = QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
    EXPECT_TRUE(history.startsWith(p.dialogHistory.path())) << history.toStdString();
    EXPECT_FALSE(p.session.Timer1.isActive()) << "an interval of 0 leaves the poll timer stopped";
    EXPECT_FALSE(p.state.settings.Spow);
    EXPECT_EQ(p.W1->SpectrumColor(), QColor(255, 0, 0));
}

TEST(Startup, ASettingsFileTooLargeToReadIsToldOnceAndTheDefaultsServe) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[DISP]\nCP=3\n" + std::string(2 << 20, ';'));
    BoxWatcher watcher;
    TestProgram p(dir.File("drganik.ini"));
    EXPECT_EQ(p.session.Com1.PortNum(), 1) << "the defaults";
    ASSERT_TRUE(RunUntil([&] { return !watcher.seen.empty(); }, 5000)) << "not a word of it";
    RunUntil([] { return false; }, 100);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_TRUE(watcher.seen[0].text.contains("drganik.ini")) << watcher.seen[0].text.toStdString();
}

TEST(Startup, MissingSwitchPicturesAreReportedAndStartupCompletes) {
    TempDir dir;
    BoxWatcher watcher;
    TestProgram p(dir.File("drganik.ini"), false);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_TRUE(watcher.seen[0].text.contains("data/p0.bmp")) << watcher.seen[0].text.toStdString();
    EXPECT_TRUE(watcher.seen[0].text.contains("data/p2.bmp"));
    EXPECT_TRUE(p.W2->isVisible());
    EXPECT_EQ(p.W1->StatusText(StatusPanel::Port), "Com1");
    EXPECT_EQ(p.state.volt.SpectrumDivisor, 10);
}

TEST(Startup, ClosingTheToolWindowClosesThePortAndEndsAfterItsPause) {
    TempDir dir;
    Pty pty;
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + pty.SlavePath() + "\n");
    TestProgram p(dir.File("drganik.ini"));
    p.session.Com1.Open();
    ASSERT_TRUE(p.session.Com1.IsOpen());
    QElapsedTimer clock;
    QTimer::singleShot(0, [&] {
        clock.start();
        p.W2->close();
    });
    EXPECT_EQ(QApplication::exec(), 0) << "the application was asked to terminate";
    EXPECT_GE(clock.elapsed(), 800); // 300 ms port close + 500 ms pause; load only lengthens them
    EXPECT_FALSE(p.session.Com1.IsOpen());
    EXPECT_EQ(pty.Read(1, 50), "") << "nothing is sent to the instrument at shutdown";
}

TEST(Startup, ClosingTheMainWindowClosesThePortAndEndsWithoutThePause) {
    TempDir dir;
    Pty pty;
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + pty.SlavePath() + "\n");
    TestProgram p(dir.File("drganik.ini"));
    p.session.Com1.Open();
    QTimer::singleShot(0, [&] { p.W1->close(); }); // a system close request
    EXPECT_EQ(QApplication::exec(), 0) << "the application was asked to terminate";
    EXPECT_FALSE(p.session.Com1.IsOpen());
    EXPECT_TRUE(p.session.Timer1.isActive()) << "the tool window's close (timer off, 500 ms pause) ran too";
    EXPECT_EQ(pty.Read(1, 50), "") << "nothing is sent to the instrument at shutdown";
}

TEST(Startup, PortNamesComeFromThePortsSection) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[ports]\ncom2=/dev/serial/by-id/usb-adapter\n[DISP]\nCP=2\n");
    TestProgram p(dir.File("drganik.ini"));
    EXPECT_EQ(p.session.Com1.DevicePath(), "/dev/serial/by-id/usb-adapter");
    p.session.Com1.SetPortNum(5);
    EXPECT_EQ(p.session.Com1.DevicePath(), "/dev/ttyS4");
}

// A tick that opens a pause or a message box does not hold the ticks up: they go on inside it,
// and a stopped timer gives none.
TEST(Startup, PollTicksGoOnInsideAnEventLoopATickOpens) {
    PollTimer timer;
    int depth = 0, inside = 0, ticks = 0;
    QObject::connect(&timer, &PollTimer::timeout, [&] {
        ++ticks;
        if (depth > 0) {
            ++inside;
            return;
        }
        ++depth;
        RunUntil([&] { return inside >= 3 || !timer.isActive(); }, 10000);
        --depth;
    });
    timer.SetTimerInterval(5);
    EXPECT_TRUE(RunUntil([&] { return inside >= 3; }, 20000));
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.interval(), 5);
    const int stoppedAt = ticks;
    PollTimer clock; // ten of its ticks: two intervals of the stopped one, many times over
    int beats = 0;
    QObject::connect(&clock, &PollTimer::timeout, [&] { ++beats; });
    clock.SetTimerInterval(5);
    ASSERT_TRUE(RunUntil([&] { return beats >= 10; }, 20000));
    EXPECT_EQ(ticks, stoppedAt) << "a stopped timer ticked";
}
