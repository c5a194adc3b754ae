#include "BoxWatcher.h"
#include "PaintCounter.h"
#include "PortChooser.h"
#include "ProgramHarness.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct SettingsFolder {
    TempDir dir;
    explicit SettingsFolder(const std::string& content = {}) {
        if (!content.empty())
            TempDir::Put(dir.File("drganik.ini"), content);
    }
};

struct Dialog : SettingsFolder, TestProgram {
    explicit Dialog(const std::string& content = {})
        : SettingsFolder(content), TestProgram(dir.File("drganik.ini")) {
        W2->Press(TW2::ToolButton::Settings);
    }
    std::string IniText() const { return TempDir::Get(dir.File("drganik.ini")); }
    QRgb TimeBackgroundPixel() const { return W1->TimeBackgroundImage().pixel(10, 10); }
    QRgb SpectrumBackgroundPixel() const { return W1->SpectrumBackgroundImage().pixel(10, 4); }
};

} // namespace

TEST(Prefs, OpensModelessWithTheSettingsLoaded) {
    Dialog d("[DISP]\nLW=2\nCP=3\nFW=0\n[MISC]\nWYSSTATUS=0\n[ADVANCED]\nSpow=0\nTimer=40\n");
    EXPECT_TRUE(d.Form1->isVisible());
    EXPECT_FALSE(d.Form1->isModal());
    EXPECT_EQ(d.Form1->windowTitle(), "Ustawienia");
    EXPECT_EQ(d.Form1->size(), QSize(667, 273));
    EXPECT_TRUE(d.Form1->PortButton(2).isChecked());
    EXPECT_EQ(d.Form1->PortButton(3).text(), "Com4 ");
    EXPECT_EQ(d.Form1->LineWidthBox().currentIndex(), 1);
    EXPECT_FALSE(d.Form1->OptionBox(TForm1::Option::FillSpectrum).isChecked());
    EXPECT_FALSE(d.Form1->OptionBox(TForm1::Option::StatusBar).isChecked());
    EXPECT_FALSE(d.Form1->OptionBox(TForm1::Option::SlowTransfer).isChecked())
        << "a file holding Spow=0 shows an unchecked box";
    EXPECT_EQ(d.Form1->TimingField(TForm1::Timing::Timer).text(), "40");
    EXPECT_EQ(d.session.Com1.RxHoldoffMs(), 30) << "the receive hold-off follows the tick";
    EXPECT_TRUE(d.W2->isEnabled()) << "the other windows stay usable";
}

TEST(Prefs, AnOpenDialogPaintsOnlyWhenSomethingChanges) {
    Dialog d;
    int ticks = 0;
    QObject::connect(&d.session.Timer1, &PollTimer::timeout, [&] { ++ticks; });
    ASSERT_TRUE(RunUntil([&] { return ticks >= 2; }, 10000)); // the first paints are done
    PaintCounter counter;
    d.Form1->installEventFilter(&counter);
    ticks = 0;
    ASSERT_TRUE(RunUntil([&] { return ticks >= 20; }, 20000)); // half a second of poll ticks
    EXPECT_LE(counter.paints, 2) << "the dialog repaints itself while nothing changes";

    d.Form1->ChooseTimeBackground(2); // a change still reaches the preview
    EXPECT_EQ(d.Form1->TimePreviewPicture().pixel(105, 60), d.Form1->TimePicture(2).pixel(245, 140));
}

TEST(Prefs, CancelRestoresWhatTheDialogChanged) {
    Dialog d;
    d.Form1->AskColor = [](QColor) { return QColor(255, 0, 0); };
    d.Form1->Shape1MouseDown();
    EXPECT_EQ(d.state.settings.PC, 0xFF) << "a trace colour reaches the running trace before saving";
    d.Form1->LineWidthBox().setCurrentIndex(1);
    d.Form1->ComboBox2Change();
    EXPECT_EQ(d.state.settings.LW, 2);
    Control<QCheckBox>(*d.Form1, "CheckBox2").click();
    EXPECT_FALSE(d.state.settings.WYSSTATUS);
    d.Form1->ChooseSpectrumBackground(3);
    Control<QCheckBox>(*d.Form1, "CheckBox3").click();
    EXPECT_FALSE(d.state.settings.Spow);
    d.Form1->SpeedButton3Click(); // "Resetuj wartości" only changes the three texts
    Control<QLineEdit>(*d.Form1, "Edit1").setText("5");
    d.Form1->Press(TForm1::DialogButton::Cancel);
    EXPECT_FALSE(d.Form1->isVisible());
    EXPECT_EQ(d.state.settings.PC, 0);
    EXPECT_EQ(d.state.settings.LW, 1);
    EXPECT_TRUE(d.state.settings.WYSSTATUS);
    EXPECT_EQ(d.state.settings.BFG, 0);
    EXPECT_TRUE(d.state.settings.Spow);
    EXPECT_EQ(d.session.Timer1.interval(), 25);
    EXPECT_FALSE(std::filesystem::exists(d.dir.File("drganik.ini"))) << "nothing written";

    d.W2->Press(TW2::ToolButton::Settings); // the next opening shows the old colour
    EXPECT_EQ(d.Form1->TimeColorSwatch().Color(), QColor(0, 0, 0));
}

TEST(Prefs, WidthBoxWithoutASelectionKeepsTheWidth) {
    Dialog d;
    QTest::keyClicks(d.Form1->LineWidthBox().lineEdit(), "3 px");
    QTest::keyClick(d.Form1->LineWidthBox().lineEdit(), Qt::Key_Return);
    EXPECT_EQ(d.state.settings.LW, 1);
    EXPECT_EQ(d.Form1->LineWidthBox().count(), 2) << "typed text is no new width";
    d.Form1->LineWidthBox().setEditText("2 px");
    EXPECT_EQ(d.state.settings.LW, 2);
    EXPECT_EQ(d.Form1->TimePreviewPicture().pixel(5, 20) & 0xFFFFFF, 0u) << "the preview shows the test wave";
}

TEST(Prefs, BackgroundReachesTheMainWindowOnlyOnSave) {
    Dialog d;
    const QRgb green = d.TimeBackgroundPixel();
    const QRgb grey = d.SpectrumBackgroundPixel();
    d.Form1->ChooseTimeBackground(1);
    d.Form1->ChooseSpectrumBackground(2);
    EXPECT_EQ(d.TimeBackgroundPixel(), green);
    EXPECT_EQ(d.SpectrumBackgroundPixel(), grey);
    EXPECT_NE(d.Form1->TimePreviewPicture().pixel(100, 100), d.Form1->TimePicture(0).pixel(240, 180));
    d.Form1->Press(TForm1::DialogButton::Save);
    EXPECT_EQ(d.TimeBackgroundPixel(), d.Form1->TimePicture(1).pixel(10, 10));
    EXPECT_EQ(d.W1->ClientImage().pixel(40, 40), d.Form1->TimePicture(1).pixel(10, 10))
        << "repainted at once";
    EXPECT_NE(d.Form1->SpectrumPicture(2).pixel(10, 4), grey);
    EXPECT_EQ(d.W1->ClientImage().pixel(40, 350), d.Form1->SpectrumPicture(2).pixel(10, 4));
    EXPECT_FALSE(d.Form1->isVisible());
    EXPECT_EQ(d.IniText(), "[DISP]\nLW=1\nBG=1\nBFG=2\nCP=1\nPC=0\nPCF=0\nFW=1\n[MISC]\nWYSSTATUS=1\n"
                           "[ADVANCED]\nTimeout1=20\nCzekaj1=20\nTimer=25\nSpow=1\n");
}

TEST(Prefs, LettersInAFieldStopTheSaveAfterTheInterval) {
    Dialog d;
    BoxWatcher watcher;
    Control<QLineEdit>(*d.Form1, "Edit1").setText("40");
    Control<QLineEdit>(*d.Form1, "Edit2").setText("<h1>BIG</h1>"); // shown as typed, never as a heading
    d.Form1->Press(TForm1::DialogButton::Save);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text, "'<h1>BIG</h1>' is not a valid integer value");
    EXPECT_TRUE(d.Form1->isVisible());
    EXPECT_EQ(d.session.Timer1.interval(), 40);
    EXPECT_EQ(d.state.settings.Timeout1, 20);
    EXPECT_EQ(d.IniText().find("ADVANCED"), std::string::npos);
    EXPECT_NE(d.IniText().find("[MISC]"), std::string::npos);
}

// An installed program's settings go to the user's configuration folder, made by the first save.
TEST(Prefs, TheFirstSaveMakesTheSettingsFolder) {
    SettingsFolder home;
    const std::string path = home.dir.File("config/Drganik/drganik.ini");
    TestProgram program(path);
    program.W2->Press(TW2::ToolButton::Settings);
    EXPECT_FALSE(std::filesystem::exists(home.dir.File("config"))) << "nothing is made before a save";
    BoxWatcher watcher;
    program.Form1->Press(TForm1::DialogButton::Save);
    EXPECT_TRUE(watcher.seen.empty()) << watcher.seen.front().text.toStdString();
    EXPECT_NE(TempDir::Get(path).find("[ADVANCED]"), std::string::npos);
}

TEST(Prefs, ChangedPortIsNotedOnceAndTakesEffectOnlyAfterRestart) {
    Dialog d;
    BoxWatcher watcher;
    d.Form1->PortButton(4).click();
    d.Form1->PortButton(0).click(); // back to the old one: no note
    d.Form1->Press(TForm1::DialogButton::Save);
    EXPECT_TRUE(watcher.seen.empty());
    d.W2->Press(TW2::ToolButton::Settings);
    d.Form1->PortButton(4).click();
    d.Form1->Press(TForm1::DialogButton::Save);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Uwaga!");
    EXPECT_EQ(watcher.seen[0].text,
              "Aby zmiana portu COM odniosła skutek\r\nmusisz uruchomić ponownie program.");
    EXPECT_NE(d.IniText().find("CP=5"), std::string::npos);
    EXPECT_EQ(d.session.Com1.PortNum(), 1);
    EXPECT_EQ(d.W1->StatusText(StatusPanel::Port), "Com1");
}

TEST(Prefs, ZeroIntervalStopsThePollTimer) {
    Dialog d;
    Control<QLineEdit>(*d.Form1, "Edit1").setText("12");
    d.Form1->Press(TForm1::DialogButton::Save);
    EXPECT_EQ(d.session.Com1.RxHoldoffMs(), 9);
    Control<QLineEdit>(*d.Form1, "Edit1").setText("0");
    d.Form1->Press(TForm1::DialogButton::Save);
    EXPECT_FALSE(d.session.Timer1.isActive());
}

TEST(Prefs, DockMovesOnlyTheMainWindowCentreMovesBoth) {
    Dialog d;
    d.W1->move(10, 10);
    const QPoint tool = d.W2->frameGeometry().topLeft();
    d.Form1->SpeedButton1Click();
    EXPECT_EQ(d.W2->frameGeometry().topLeft(), tool);
    EXPECT_EQ(d.W1->frameGeometry().topLeft(), QPoint(tool.x() - d.W1->frameGeometry().width(), tool.y()));
    d.W2->move(0, 0);
    d.Form1->SpeedButton2Click();
    EXPECT_NE(d.W2->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(d.W1->frameGeometry().right() + 1, d.W2->frameGeometry().left());
}

TEST(Prefs, WebLinksOpenThePlaceholderAddresses) {
    Dialog d;
    std::vector<QString> opened;
    d.Form1->OpenUrl = [&](const QString& url) { opened.push_back(url); };
    d.Form1->MakerLink().OnClick();
    d.Form1->DistributorLink().OnClick();
    const std::vector<QString> expected = {"https://drganik.example/", "https://dystrybutor.example/"};
    EXPECT_EQ(opened, expected) << "the maker's banner, then the distributor's logo";
    EXPECT_EQ(d.Form1->MakerLink().toolTip(), expected[0]);
}

// Device paths come from the settings file or the user: a tooltip shows them as written, never as markup.
TEST(Prefs, DevicePathsInTooltipsAreShownAsTheyAreWritten) {
    const std::string heading = "<h1 style=\"color:red\">/dev/ttyS0</h1><img src=\"/tmp/x.png\">";
    Dialog d("[PORTS]\nCOM1=" + heading + "\nCOM2=/dev/a&lt;b\n");
    const auto shown = [](const QString& tip) { // as a tooltip label decides between text and markup
        return (Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip)
            .toStdString();
    };
    EXPECT_EQ(shown(d.Form1->PortButton(0).toolTip()), heading);
    EXPECT_EQ(shown(d.Form1->PortButton(1).toolTip()), "/dev/a&lt;b");
    EXPECT_EQ(shown(d.W1->StatusHint(StatusPanel::Port)), heading);

    auto& chooser = d.Form1->DeviceChooser();
    chooser.Discover = [] { return std::vector<SerialDevice>{}; };
    d.Form1->Press(TForm1::DialogButton::PortDevice);
    chooser.PathField().setText("<b>/dev/ttyUSB0</b>");
    chooser.Ok().click();
    EXPECT_EQ(shown(d.Form1->PortButton(0).toolTip()), "<b>/dev/ttyUSB0</b>");
}

// Values are not range-checked, but the receive delays worked out from a huge tick must not overflow.
TEST(Prefs, AHugeTimerGivesDelaysWithoutOverflow) {
    Dialog d("[ADVANCED]\nTimer=2147483647\n");
    EXPECT_EQ(d.session.Com1.RxHoldoffMs(), 1610612735);
    EXPECT_EQ(d.session.Com1.RxNotifyLatencyMs(), 2147483647) << "twice the tick, as far as it goes";
    Control<QLineEdit>(*d.Form1, "Edit1").setText("800000000");
    d.Form1->Press(TForm1::DialogButton::Save); // "Zapisz"
    EXPECT_NE(d.IniText().find("Timer=800000000"), std::string::npos);
    EXPECT_EQ(d.session.Com1.RxHoldoffMs(), 600000000);
    EXPECT_EQ(d.session.Com1.RxNotifyLatencyMs(), 1600000000);
}

// A save held up by another instance's lock keeps the windows painting, then says it failed.
TEST(Prefs, ASaveWaitingForAnotherInstancesLockKeepsPainting) {
    Dialog d("[DISP]\nLW=2\n");
    const int holder = open(d.dir.File("drganik.ini.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    BoxWatcher watcher;
    PaintCounter painted;
    d.W1->installEventFilter(&painted);
    bool duringTheWait = false;
    QTimer::singleShot(0, d.W1.get(), [&] { // due while the save waits, before any box
        duringTheWait = !QApplication::activeModalWidget();
        d.W1->repaint();
    });
    d.Form1->Press(TForm1::DialogButton::Save); // "Zapisz"
    close(holder);
    EXPECT_TRUE(duringTheWait && painted.paints > 0) << "nothing painted while the save waited for the lock";
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].text.toStdString(), "Unable to write to " + d.dir.File("drganik.ini"));
    EXPECT_EQ(d.IniText(), "[DISP]\nLW=2\n");
}

TEST(Prefs, GroupFramesStayClearOfTheirControls) {
    Dialog d;
    for (QWidget* group : d.Form1->Groups()) {
        const std::string name = group->objectName().toStdString();
        // What the group itself draws (frame and caption), without its controls.
        QImage own(group->size(), QImage::Format_RGB32);
        own.fill(group->palette().color(QPalette::Window));
        group->render(&own, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        // Under each control it is one plain colour: no frame line, no caption runs through it.
        for (const QObject* child : group->children()) {
            const auto* control = qobject_cast<const QWidget*>(child);
            if (!control)
                continue;
            const QRect r = control->geometry() & own.rect();
            int crossings = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    crossings += own.pixel(x, y) != own.pixel(r.topLeft());
            EXPECT_EQ(crossings, 0) << name << ": the frame runs through "
                                    << control->metaObject()->className() << " at " << r.x() << "," << r.y();
        }
    }
}
