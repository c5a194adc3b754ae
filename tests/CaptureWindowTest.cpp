#include "CsvExport.h"
#include "ProgramHarness.h"
#include "RecordingReader.h"
#include "Simulator.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr int kLong = 20000; // generous: the suites run two at a time beside other builds

struct Connected {
    Connected(const TempDir& dir, Simulator& sim, const std::string& more = {})
        : p((TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n" + more),
             dir.File("drganik.ini"))) {
        p.W2->Press(TW2::ToolButton::Connect);
        connected =
            RunUntil([&] { return p.state.acq.ProbeCountdown == 0 && p.session.Com1.IsOpen(); }, kLong);
    }
    bool StartEnabled() const { return p.W2->Button(TW2::ToolButton::Start).isEnabled(); }
    TestProgram p;
    bool connected = false;
};

bool SamplesAre(const SampleBuffer& s, const CapturedBlock& b) {
    return std::equal(b.samples.begin(), b.samples.end(), s.begin());
}

} // namespace

// Fast mode without a trigger, then progressive: each single shot takes the next block and stops as
// Stop would; a run afterwards adds to the history, and a recording of it loads back for stepping.
TEST(Capture, SingleShotTakesOneBlockAndTheHistoryAndRecordingKeepThem) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "sine", "--freq", "1500", "--amp", "4", "--offset", "5"});
    Connected c(dir, sim);
    ASSERT_TRUE(c.connected);
    auto& p = c.p;
    TCaptureWindow& w = *p.captureWindow;
    w.AskRecordingName = [&] { return QString::fromStdString(dir.File("r.drgn")); };
    w.RecordClick(true);
    ASSERT_TRUE(w.RecordingOn());

    w.SingleShotClick();
    ASSERT_TRUE(RunUntil([&] { return !p.state.acq.Running && !p.session.SingleShotArmed(); }, kLong));
    const int requests = sim.Count("rx request");
    EXPECT_FALSE(RunUntil([&] { return sim.Count("rx request") > requests; }, 500)) << "asked for more";
    ASSERT_EQ(p.session.capture.history.Size(), 1u);
    EXPECT_TRUE(c.StartEnabled());
    EXPECT_TRUE(SamplesAre(p.state.samples, p.session.capture.history.At(0)));
    EXPECT_FALSE(p.session.capture.history.At(0).progressive);
    w.Toggle(); // hidden, the window's texts wait for it to show
    EXPECT_TRUE(w.PositionText().startsWith(QStringLiteral("Blok 1/1, "))) << w.PositionText().toStdString();

    // Progressive (20 ms per division): the block drawn as it comes, then the stop.
    p.W2->TurnKnob(TW2::ToolKnob::Time, 7);
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.SlowMode; }, kLong));
    w.SingleShotClick();
    ASSERT_TRUE(
        RunUntil([&] { return p.session.capture.history.Size() == 2 && !p.state.acq.Running; }, kLong));
    EXPECT_TRUE(p.session.capture.history.At(1).progressive);
    EXPECT_EQ(p.session.capture.history.At(1).timebase, 7);

    // On a rising, then a falling edge through the middle: each block is kept with its trigger.
    p.W2->TurnKnob(TW2::ToolKnob::Level, 512);
    p.W2->TurnKnob(TW2::ToolKnob::Time, 0);
    ASSERT_TRUE(RunUntil([&] { return !p.state.acq.SlowMode; }, kLong));
    p.W2->SmoothFlatButton2Click();
    w.SingleShotClick();
    ASSERT_TRUE(
        RunUntil([&] { return p.session.capture.history.Size() == 3 && !p.state.acq.Running; }, kLong));
    p.W2->SmoothFlatButton9Click();
    w.SingleShotClick();
    ASSERT_TRUE(
        RunUntil([&] { return p.session.capture.history.Size() == 4 && !p.state.acq.Running; }, kLong));
    EXPECT_EQ(p.session.capture.history.At(2).triggerMode, 1);
    EXPECT_EQ(p.session.capture.history.At(3).triggerMode, 2);
    p.W2->SmoothFlatButton1Click();

    // Start empties nothing. Stop lets the block asked for come: every request of the run is
    // answered by a block taken, before anything else is looked at.
    const std::size_t before = p.session.capture.history.Size();
    const int asked = sim.Count("rx request");
    p.W2->Press(TW2::ToolButton::Start);
    ASSERT_TRUE(RunUntil([&] { return p.session.capture.history.Size() >= 5; }, kLong));
    p.W2->Press(TW2::ToolButton::Stop);
    ASSERT_TRUE(RunUntil(
        [&] {
            return Idle(p.state.acq) &&
                   p.session.capture.history.Size() - before == std::size_t(sim.Count("rx request") - asked);
        },
        kLong));
    w.RecordClick(false);
    const std::size_t kept = p.session.capture.history.Size();
    EXPECT_TRUE(w.RecordingText().startsWith(QStringLiteral("Nagrano: "))) << w.RecordingText().toStdString();

    // Stepping back shows the older block with its own time base.
    w.StepBack();
    EXPECT_EQ(w.ShownIndex(), kept - 2);
    EXPECT_TRUE(SamplesAre(p.state.samples, p.session.capture.history.At(kept - 2)));
    w.ShowHistoryBlock(1);
    EXPECT_TRUE(RunUntil([&] { return p.W1->LabelledTimebase() == 7; }, kLong));

    // The recording holds what the history does, the trigger as its format says (0 off, 1 rising,
    // 2 falling), and opens in its place through the open dialog.
    std::vector<CapturedBlock> recorded;
    const RecordingRead read = ReadRecording(dir.File("r.drgn"), [&](const CapturedBlock& b, std::uint64_t) {
        recorded.push_back(b);
        return true;
    });
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(recorded.size(), kept);
    for (std::size_t i = 0; i < kept; ++i)
        ASSERT_EQ(recorded[i], p.session.capture.history.At(i)) << i;
    const std::string text = TempDir::Get(dir.File("r.drgn"));
    for (const auto& [block, trigger] : {std::pair{"B 2 ", " 0 "}, {"B 3 ", " 1 "}, {"B 4 ", " 2 "}}) {
        const std::size_t header = text.find(std::string("\n") + block) + 1;
        std::size_t field = header;
        for (int f = 0; f < 6; ++f)
            field = text.find(' ', field) + 1;
        EXPECT_EQ(text.substr(field - 1, 3), trigger) << text.substr(header, 60);
    }
    QString said;
    w.ShowMessage = [&](const QString& text) { said = text; };
    p.W2->AskOpenFileName = [&] { return QString::fromStdString(dir.File("r.drgn")); };
    p.W2->SmoothFlatButton7Click();
    ASSERT_TRUE(RunUntil([&] { return !p.session.capture.Loading(); }, kLong));
    EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    ASSERT_TRUE(RunUntil([&] { return SamplesAre(p.state.samples, recorded.front()); }, kLong));
    ASSERT_EQ(p.session.capture.Size(), kept);
    CapturedBlock last;
    ASSERT_TRUE(p.session.capture.Read(kept - 1, last));
    EXPECT_EQ(last, recorded.back());
    EXPECT_TRUE(w.PositionText().startsWith(QStringLiteral("Blok 1/%1, ").arg(kept)))
        << w.PositionText().toStdString();

    TempDir::Put(dir.File("x.drgn"), "1\r\n2\r\n");
    p.W2->AskOpenFileName = [&] { return QString::fromStdString(dir.File("x.drgn")); };
    p.W2->SmoothFlatButton7Click();
    ASSERT_TRUE(RunUntil([&] { return !said.isEmpty(); }, kLong));
    EXPECT_TRUE(said.contains(QStringLiteral("To nie jest nagranie Drganika."))) << said.toStdString();
    EXPECT_EQ(p.session.capture.Size(), kept);

    // An opening shows its progress and can be cancelled: what was shown stays.
    p.W2->AskOpenFileName = [&] { return QString::fromStdString(dir.File("r.drgn")); };
    p.W2->SmoothFlatButton7Click();
    EXPECT_TRUE(w.PositionText().startsWith(QStringLiteral("Wczytywanie nagrania: ")))
        << w.PositionText().toStdString();
    auto* cancel = w.findChild<QPushButton*>("Przerwij");
    ASSERT_TRUE(cancel && cancel->isVisible());
    cancel->click();
    EXPECT_FALSE(p.session.capture.Loading());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(w.PositionText().startsWith(QStringLiteral("Blok 1/%1, ").arg(kept)))
        << w.PositionText().toStdString();
}

// An edge the signal never crosses: the single shot waits, the note shows, Stop cancels it.
TEST(Capture, SingleShotWaitsForATriggerUntilStopped) {
    TempDir dir;
    Simulator sim(dir, {"--amp", "0", "--offset", "2"});
    Connected c(dir, sim, "[ADVANCED]\nTimeout1=8\nCzekaj1=8\n");
    ASSERT_TRUE(c.connected);
    auto& p = c.p;
    p.W2->SetTriggerModeTo(1);
    p.captureWindow->SingleShotClick();
    ASSERT_TRUE(RunUntil([&] { return p.W1->WaitingForTrigger(); }, kLong));
    EXPECT_TRUE(p.state.acq.Running);
    EXPECT_TRUE(p.session.SingleShotArmed());
    EXPECT_TRUE(p.session.capture.history.Empty());
    p.W2->Press(TW2::ToolButton::Stop);
    EXPECT_FALSE(p.state.acq.Running);
    EXPECT_FALSE(p.session.SingleShotArmed());
    EXPECT_FALSE(p.W1->WaitingForTrigger());
    EXPECT_TRUE(c.StartEnabled());
}

TEST(Capture, AHistoryTurnedOffSaysSoFromTheStart) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[Przechwytywanie]\nHistoria=0\n");
    TestProgram p(dir.File("drganik.ini"));
    EXPECT_EQ(p.captureWindow->PositionText(), "Historia wyłączona");
    p.session.capture.Take(CapturedBlock{});
    p.captureWindow->Toggle();
    EXPECT_EQ(p.captureWindow->PositionText(), "Historia wyłączona");
}

// Labels, measurements and exports of a kept block follow the T/dz it was taken at.
TEST(Capture, AKeptBlockIsExportedWithItsOwnTimeBase) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "[Przechwytywanie]\nHistoria=3\n");
    TestProgram p(dir.File("drganik.ini"));
    for (int n = 0; n < 4; ++n) {
        CapturedBlock b;
        b.samples.fill(std::uint16_t(100 * (n + 1)));
        b.samples[0] = 0;
        b.timebase = std::uint8_t(3 + n);
        b.voltRange = std::uint8_t(n % 4);
        p.session.capture.Take(b);
    }
    ASSERT_EQ(p.session.capture.history.Size(), 3u); // the length from the settings file
    TCaptureWindow& w = *p.captureWindow;
    std::string csv;
    p.W2->AskSaveFileName = [&] { return QString::fromStdString(dir.File("b.csv")); };
    for (std::size_t i : {0u, 2u}) {
        w.ShowHistoryBlock(i);
        const CapturedBlock& b = p.session.capture.history.At(i);
        ASSERT_TRUE(RunUntil([&] { return p.W1->LabelledTimebase() == b.timebase; }, kLong));
        EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Volts).Position(), b.voltRange);
        p.W2->SmoothFlatButton8Click();
        EXPECT_EQ(TempDir::Get(dir.File("b.csv")), FormatCsv(p.state.samples, b.timebase));
        EXPECT_NE(TempDir::Get(dir.File("b.csv")), csv);
        csv = TempDir::Get(dir.File("b.csv"));
    }

    // PgUp and PgDn on the main window step through the kept blocks, within their bounds.
    p.W1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(p.W1.get()));
    QTest::keyClick(p.W1.get(), Qt::Key_PageUp);
    EXPECT_EQ(w.ShownIndex(), 1u);
    QTest::keyClick(p.W1.get(), Qt::Key_PageUp);
    QTest::keyClick(p.W1.get(), Qt::Key_PageUp);
    EXPECT_EQ(w.ShownIndex(), 0u);
    EXPECT_TRUE(SamplesAre(p.state.samples, p.session.capture.history.At(0)));
    QTest::keyClick(p.W1.get(), Qt::Key_PageDown);
    EXPECT_EQ(w.ShownIndex(), 1u);

    // F3 and the tool window's menu open and close the window, beside the pair and clear of it.
    EXPECT_FALSE(w.isVisible());
    QTest::keyClick(p.W1.get(), Qt::Key_F3);
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), "Przechwytywanie");
    const QRect area = w.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w.frameGeometry()))
        << w.frameGeometry().x() << "," << w.frameGeometry().y() << " " << w.frameGeometry().width() << "x"
        << w.frameGeometry().height() << " in " << area.width() << "x" << area.height();
    if (area.right() - p.W2->frameGeometry().right() >= w.frameGeometry().width()) { // room beside the pair
        EXPECT_FALSE(w.frameGeometry().intersects(p.W2->frameGeometry()));
    }
    EXPECT_FALSE(w.frameGeometry().intersects(p.W1->frameGeometry()));
    p.W2->actions()[1]->trigger();
    EXPECT_FALSE(w.isVisible());
}

// The status shows its whole text, sizes over a megabyte in the user's number format; the window's
// boxes stand over the pair while it is hidden, over itself while it shows.
TEST(Capture, TheStatusShowsWholeAndBoxesStandOverTheVisibleWindow) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "");
    TestProgram p(dir.File("drganik.ini"));
    TCaptureWindow& w = *p.captureWindow;
    w.Toggle();
    w.AskRecordingName = [&] { return QString::fromStdString(dir.File("r.drgn")); };
    CapturedBlock b;
    b.samples.fill(1023);
    w.RecordClick(true);
    while (p.session.capture.Recording()->Bytes() < 1200000)
        p.session.capture.Take(b);
    const std::uint64_t blocks = p.session.capture.Recording()->Blocks();
    w.RecordClick(false);
    // Polish whatever the C library's locale: the whole interface is.
    EXPECT_EQ(w.RecordingText(), QStringLiteral("Nagrano: 1,2MB, bloki: %1").arg(blocks));

    // A write that fails (a size limit here; its signal ignored as the program does) says why in full.
    w.RecordClick(true);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{100000, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    for (int n = 0; n < 100 && w.RecordingOn(); ++n)
        p.session.capture.Take(b);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(w.RecordingOn());
    EXPECT_TRUE(
        w.RecordingText().startsWith(QStringLiteral("Nagrywanie przerwane: przekroczony dopuszczalny")))
        << w.RecordingText().toStdString();
    EXPECT_TRUE(w.RecordingText().endsWith(QStringLiteral("kB)."))) << w.RecordingText().toStdString();
    const auto* status = w.findChild<QLabel*>("Stan");
    ASSERT_TRUE(status);
    EXPECT_GE(status->height(), status->heightForWidth(status->width())) << "the text is cut";
    EXPECT_LE(status->geometry().bottom(), w.height());

    // A box and the window it stood over.
    const auto boxParent = [&] {
        QWidget* parent = nullptr;
        QRect box;
        QTimer::singleShot(0, [&] {
            if (auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                parent = m->parentWidget();
                box = m->frameGeometry();
                m->accept();
            }
        });
        w.ShowMessage(QStringLiteral("Próba"));
        if (parent) {
            EXPECT_TRUE(parent->frameGeometry().contains(box.center()));
        }
        return parent;
    };
    EXPECT_EQ(boxParent(), &w);
    w.Toggle();
    EXPECT_EQ(boxParent(), p.W2.get());
}

// "Zapisz zakres…": a range of the history, then of an opened recording, as a table or a recording;
// the button asks for the range and the name, and a refusal says why.
TEST(Capture, ARangeOfTheHistoryOrOfAnOpenedRecordingIsSavedAsATableOrARecording) {
    TempDir dir;
    TempDir::Put(dir.File("drganik.ini"), "");
    TestProgram p(dir.File("drganik.ini"));
    TCaptureWindow& w = *p.captureWindow;
    w.Toggle();
    std::vector<QString> messages;
    w.ShowMessage = [&](const QString& text) { messages.push_back(text); };
    for (int n = 1; n <= 5; ++n) {
        CapturedBlock b;
        b.samples.fill(std::uint16_t(n * 100));
        b.timeMs = 1000 * n;
        b.timebase = 3;
        p.session.capture.Take(b);
    }
    w.AskRange = [](std::uint64_t size, std::uint64_t& from, std::uint64_t& to) {
        EXPECT_EQ(size, 5u);
        EXPECT_EQ(to, 5u) << "preset to the whole";
        from = 2;
        to = 4;
        return true;
    };
    w.AskRangeName = [&] { return QString::fromStdString(dir.File("part.drgn")); };
    Control<QPushButton>(w, "ZapiszZakres").click();
    std::vector<CapturedBlock> saved;
    ReadRecording(dir.File("part.drgn"), [&](const CapturedBlock& b, std::uint64_t) {
        saved.push_back(b);
        return true;
    });
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved.front(), p.session.capture.history.At(1));
    EXPECT_EQ(saved.back(), p.session.capture.history.At(3));

    // The saved recording opened takes the history's place; its second block as a table.
    std::string error, note;
    ASSERT_TRUE(p.session.capture.LoadRecording(dir.File("part.drgn"), error, note)) << error;
    ASSERT_TRUE(w.SaveRange(2, 2, QString::fromStdString(dir.File("one.csv"))));
    const std::string table = TempDir::Get(dir.File("one.csv"));
    EXPECT_EQ(table.rfind("block,block_time_ms,t [s],U [V]\r\n2,3000,0,2.9296875\r\n", 0), 0u) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 501);

    EXPECT_FALSE(w.SaveRange(1, 1, QString::fromStdString(dir.File("x.png"))));
    EXPECT_FALSE(w.SaveRange(1, 1, QString::fromStdString(dir.File("none/x.csv"))));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_TRUE(messages[1].endsWith(QStringLiteral("nie ma takiego folderu."))) << messages[1].toStdString();
    p.state.acq.Running = true;
    w.SaveRangeClick();
    EXPECT_EQ(messages.back(), QStringLiteral("Zatrzymaj pomiar, aby zapisać zakres."));
    p.state.acq.Running = false;
}
