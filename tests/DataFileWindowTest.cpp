#include "BoxWatcher.h"
#include "DataFile.h"
#include "DataFileDialogs.h"
#include "ProgramHarness.h"
#include "Samples.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct SettingsFolder {
    TempDir dir;
};

// The one part of its kind in Qt's own file dialog, whose parts carry no names of ours.
template <class W> W& OnlyOne(QWidget& dialog) {
    const QList<W*> found = dialog.findChildren<W*>();
    if (found.size() != 1)
        throw std::logic_error("the file dialog has " + std::to_string(found.size()) + " of a part");
    return *found.front();
}

struct Files : SettingsFolder, TestProgram {
    Files() : TestProgram(dir.File("drganik.ini")) {}
    void SaveAs(const std::string& name) {
        W2->AskSaveFileName = [name] { return QString::fromStdString(name); };
        W2->Press(TW2::ToolButton::Save);
    }
    void Open(const std::string& name) {
        W2->AskOpenFileName = [name] { return QString::fromStdString(name); };
        W2->Press(TW2::ToolButton::Open);
    }
};

} // namespace

TEST(DataFileWindow, SaveAfterStopThenOpenShowsTheSameBlockAndTimeBase) {
    Files p;
    for (int i = 0; i < 500; ++i)
        p.state.samples[size_t(i)] = std::uint16_t((i * 37) % 1024);
    p.W2->TurnKnob(TW2::ToolKnob::Time, 5);
    p.SaveAs(p.dir.File("block")); // no extension typed
    const std::string text = TempDir::Get(p.dir.File("block.drg"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 501);
    EXPECT_EQ(text.substr(text.size() - 3), "5\r\n");

    const SampleBuffer saved = p.state.samples;
    p.state.samples.fill(0);
    p.W2->TurnKnob(TW2::ToolKnob::Time, 0);
    p.state.settings.PC = 0x00FF00; // the trace colour chosen since the last block
    p.Open(p.dir.File("block.drg"));
    EXPECT_EQ(p.state.samples, saved);
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Time).Position(), 5);
    EXPECT_TRUE(p.W2->Button(TW2::ToolButton::MarkersOn).isEnabled()) << "the marker buttons become usable";
    Spectrum expected{};
    p.state.transform->ComputeSpectrum(saved, expected);
    EXPECT_EQ(p.state.spectrum, expected);
    // Drawn in the trace colour with rounding, as the repaint draws it.
    for (int i = 1; i < 498; ++i)
        ASSERT_EQ(
            p.W1->ClientImage().pixel(31 + i, 279 - SampleToRow(saved[size_t(i)], Rounding::Nearest, 40)) &
                0xFFFFFF,
            0x00FF00u)
            << i;
    // The tick takes the file's position as a time-base change.
    p.session.Timer1Timer();
    EXPECT_EQ(p.W1->StatusText(StatusPanel::TimeBase), "5ms");

    // Turned two notches: the labels and the .drg follow the knob, the CSV's times the block's own.
    p.W2->TurnKnob(TW2::ToolKnob::Time, 7);
    p.session.Timer1Timer();
    // A slow time base draws as the bytes come, but the block from the file is whole: a turn of
    // V/dz (0,5 V/dz: 20 mV a row) redraws all of it.
    p.W2->TurnKnob(TW2::ToolKnob::Volts, 1);
    for (int i = 1; i < 498; ++i) {
        if (const int row = SampleToRow(saved[size_t(i)], Rounding::Nearest, 20); row < 250) {
            ASSERT_EQ(p.W1->ClientImage().pixel(31 + i, 279 - row) & 0xFFFFFF, 0x00FF00u) << i;
        }
    }
    p.SaveAs(p.dir.File("later.csv"));
    p.SaveAs(p.dir.File("later.drg"));
    EXPECT_EQ(TempDir::Get(p.dir.File("later.csv")).substr(0, 25), "t [s],U [V]\r\n0,0\r\n0.0002,")
        << "5 ms/dz: 0,2 ms a sample";
    const std::string later = TempDir::Get(p.dir.File("later.drg"));
    EXPECT_EQ(later.substr(later.size() - 3), "7\r\n");
}

TEST(DataFileWindow, SaveDoesNothingWhileABlockIsUnderWay) {
    Files p;
    bool asked = false;
    p.W2->AskSaveFileName = [&] {
        asked = true;
        return QString();
    };
    p.state.acq.RxCount = 10;
    p.W2->Press(TW2::ToolButton::Save);
    p.state.acq.RxCount = 0;
    p.state.acq.Running = true;
    p.W2->Press(TW2::ToolButton::Save);
    EXPECT_FALSE(asked);
    p.state.acq.Running = false;
    p.W2->Press(TW2::ToolButton::Save);
    EXPECT_TRUE(asked) << "nor once the block is in";
}

TEST(DataFileWindow, AFailedSaveKeepsTheOldFile) {
    Files p;
    const std::string target = p.dir.File("old.drg");
    TempDir::Put(target, "the file the user had");
    BoxWatcher watcher;
    // Files may not grow past 100 bytes: the new block cannot be written, even by root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    p.SaveAs(target);
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Bląd!");
    EXPECT_EQ(watcher.seen[0].text, "Nie mogę utworzyc pliku!");
    EXPECT_EQ(TempDir::Get(target), "the file the user had");
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(p.dir.path))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left behind";
}

TEST(DataFileWindow, ABadFileIsReportedAndNothingIsRedrawn) {
    Files p;
    TempDir::Put(p.dir.File("bad.drg"), "1\r\n2\r\n12ab\r\n");
    p.state.samples.fill(500);
    p.W2->TurnKnob(TW2::ToolKnob::Time, 3);
    BoxWatcher watcher;
    const QImage before = p.W1->ClientImage();
    p.Open(p.dir.File("bad.drg"));
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].text, "Nie mogę otworzyc pliku!");
    EXPECT_EQ(p.state.samples[0], 1);
    EXPECT_EQ(p.state.samples[1], 2);
    EXPECT_EQ(p.state.samples[2], 500) << "samples read before the failure stay";
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Time).Position(), 3);
    EXPECT_EQ(p.W1->ClientImage(), before);
    EXPECT_FALSE(p.W2->Button(TW2::ToolButton::MarkersOn).isEnabled());

    p.Open(p.dir.File("missing.drg"));
    EXPECT_EQ(watcher.seen.size(), 2u);
}

TEST(DataFileWindow, AHugeFileIsReadOnlyAsFarAsItsNumbers) {
    Files p;
    SampleBuffer block{};
    block[0] = 321;
    const auto name = p.dir.File("huge.drg");
    TempDir::Put(name, FormatDataFile(block, 4));
    ASSERT_EQ(truncate(name.c_str(), 256 << 20), 0); // sparse: no disk used
    const auto bytesRead = [] { // what this process has read so far, from the kernel's count
        std::ifstream io("/proc/self/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value && key != "rchar:")
            ;
        return value;
    };
    const long long before = bytesRead();
    p.Open(name);
    EXPECT_LT(bytesRead() - before, 16 << 20);
    EXPECT_EQ(p.state.samples[0], 321);
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Time).Position(), 4);
}

TEST(DataFileWindow, SaveDialogIsPolishStartsAtThePatternAndWantsAnExistingFolder) {
    TempDir dir;
    BoxWatcher watcher;
    QString startName, acceptText;
    bool openAfterMissingFolder = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        QLineEdit* name = &OnlyOne<QLineEdit>(*d);
        QPushButton* save = OnlyOne<QDialogButtonBox>(*d).button(QDialogButtonBox::Save);
        startName = name->text();
        acceptText = save->text();
        name->setText(QString::fromStdString(dir.File("no/such/folder/block.drg")));
        save->click(); // refused, with a message
        openAfterMissingFolder = d->isVisible();
        name->setText(QString::fromStdString(dir.File("block.drg")));
        save->click();
    });
    const QString chosen = AskSaveDataFile(nullptr);
    EXPECT_EQ(startName, "*.drg");
    EXPECT_EQ(acceptText.toStdString(), "&Zachowaj");
    EXPECT_TRUE(openAfterMissingFolder);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_TRUE(watcher.seen[0].text.contains("no/such/folder")) << watcher.seen[0].text.toStdString();
    EXPECT_EQ(chosen.toStdString(), dir.File("block.drg"));
}

TEST(DataFileWindow, SavesCsvOrPngByExtensionOrFilterAndTheDialogsRememberTheFolder) {
    Files p;
    for (int i = 0; i < 500; ++i)
        p.state.samples[size_t(i)] = std::uint16_t((i * 37) % 1024);
    p.SaveAs(p.dir.File("block.CSV"));
    const std::string csv = TempDir::Get(p.dir.File("block.CSV"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 501);
    const std::string start = "t [s],U [V]\r\n0,0\r\n0.000004,0.361328125\r\n"; // sample 1: 37
    EXPECT_EQ(csv.substr(0, start.size()), start);
    // The PNG is the main window as the screen shows it: scales, status bar, markers, level line.
    p.W2->TriggerSwitch().OnClick();
    p.W2->SmoothButton2Click();
    p.W2->Press(TW2::ToolButton::MarkersOn);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(p.W1.get()));
    const auto screen = [&] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(p.W1->winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    p.SaveAs(p.dir.File("shot.png"));
    const QImage shot =
        QImage(QString::fromStdString(p.dir.File("shot.png"))).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.size(), QSize(578, 519));
    EXPECT_TRUE(RunUntil([&] { return screen() == shot; }, 5000)) << "the PNG is not what the screen shows";

    p.state.acq.Running = true; // saving while acquiring does nothing, whatever the kind
    p.SaveAs(p.dir.File("running.csv"));
    EXPECT_FALSE(std::filesystem::exists(p.dir.File("running.csv")));
    p.state.acq.Running = false;
}

TEST(DataFileWindow, OpenAndSaveDialogsStartInTheFolderLastChosen) {
    Files q; // with the program's own dialogs
    const std::string sub = q.dir.File("sub");
    std::filesystem::create_directory(sub);
    QString saveStartedIn, openStartedIn;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        saveStartedIn = d->directory().canonicalPath();
        d->selectNameFilter(QStringLiteral("Obraz PNG (*.png)"));
        OnlyOne<QLineEdit>(*d).setText(QString::fromStdString(sub + "/a"));
        OnlyOne<QDialogButtonBox>(*d).button(QDialogButtonBox::Save)->click();
    });
    q.W2->Press(TW2::ToolButton::Save);
    EXPECT_EQ(saveStartedIn, QDir::current().canonicalPath());
    EXPECT_FALSE(QImage(QString::fromStdString(sub + "/a.png")).isNull()) << "the filter gave the kind";
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        openStartedIn = d->directory().canonicalPath();
        d->reject();
    });
    q.W2->Press(TW2::ToolButton::Open);
    EXPECT_EQ(openStartedIn.toStdString(), std::filesystem::canonical(sub).string());
}
