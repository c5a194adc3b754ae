#include "BoxWatcher.h"
#include "ProgramHarness.h"

#include <gtest/gtest.h>

namespace {

struct SettingsFolder {
    TempDir dir;
    explicit SettingsFolder(const std::string& content = {}) {
        if (!content.empty())
            TempDir::Put(dir.File("drganik.ini"), content);
    }
};

struct Dialog : SettingsFolder, Program {
    explicit Dialog(const std::string& content = {})
        : SettingsFolder(content), Program(dir.File("drganik.ini")) {
        w2->SmoothFlatButton6->click();
    }
    std::string Ini() const { return TempDir::Get(dir.File("drganik.ini")); }
    QRgb TimeBackgroundPixel() const { return w1->TimeBackground.Image().pixel(10, 10); }
    QRgb SpectrumBackgroundPixel() const { return w1->SpectrumBackground.Image().pixel(10, 4); }
};

} // namespace

TEST(Prefs, OpensModelessWithTheSettingsLoaded) {
    Dialog d("[DISP]\nLW=2\nCP=3\nFW=0\n[MISC]\nWYSSTATUS=0\n[ADVANCED]\nSpow=0\nTimer=40\n");
    EXPECT_TRUE(d.form1->isVisible());
    EXPECT_FALSE(d.form1->isModal());
    EXPECT_EQ(d.form1->windowTitle(), "Ustawienia");
    EXPECT_EQ(d.form1->size(), QSize(667, 273));
    EXPECT_TRUE(d.form1->RadioGroup1[2]->isChecked());
    EXPECT_EQ(d.form1->RadioGroup1[3]->text(), "Com4 ");
    EXPECT_EQ(d.form1->ComboBox2->currentIndex(), 1);
    EXPECT_FALSE(d.form1->CheckBox1->isChecked());
    EXPECT_FALSE(d.form1->CheckBox2->isChecked());
    EXPECT_FALSE(d.form1->CheckBox3->isChecked()) << "a file holding Spow=0 shows an unchecked box";
    EXPECT_EQ(d.form1->Edit1->text(), "40");
    EXPECT_TRUE(d.w2->isEnabled()) << "the other windows stay usable";
}

TEST(Prefs, CancelRestoresWhatTheDialogChanged) {
    Dialog d;
    d.form1->AskColor = [](QColor) { return QColor(255, 0, 0); };
    d.form1->Shape1MouseDown();
    EXPECT_EQ(d.state.settings.PC, 0xFF) << "a trace colour reaches the running trace before saving";
    d.form1->ComboBox2->setCurrentIndex(1);
    d.form1->ComboBox2Change();
    EXPECT_EQ(d.state.settings.LW, 2);
    d.form1->CheckBox2->click();
    EXPECT_FALSE(d.state.settings.WYSSTATUS);
    d.form1->ChooseSpectrumBackground(3);
    d.form1->CheckBox3->click();
    EXPECT_FALSE(d.state.settings.Spow);
    d.form1->SpeedButton3Click(); // "Resetuj wartości" only changes the three texts
    d.form1->Edit1->setText("5");
    d.form1->Button2->click();
    EXPECT_FALSE(d.form1->isVisible());
    EXPECT_EQ(d.state.settings.PC, 0);
    EXPECT_EQ(d.state.settings.LW, 1);
    EXPECT_TRUE(d.state.settings.WYSSTATUS);
    EXPECT_EQ(d.state.settings.BFG, 0);
    EXPECT_TRUE(d.state.settings.Spow);
    EXPECT_EQ(d.w2->Timer1.interval(), 25);
    EXPECT_FALSE(std::filesystem::exists(d.dir.File("drganik.ini"))) << "nothing written";

    d.w2->SmoothFlatButton6->click(); // the next opening shows the old colour
    EXPECT_EQ(d.form1->Shape1->Color(), QColor(0, 0, 0));
}

TEST(Prefs, WidthBoxWithoutASelectionKeepsTheWidth) {
    Dialog d;
    d.form1->ComboBox2->setEditText("3 px");
    EXPECT_EQ(d.state.settings.LW, 1);
    d.form1->ComboBox2->setEditText("2 px");
    EXPECT_EQ(d.state.settings.LW, 2);
    EXPECT_EQ(d.form1->Image1->Picture().pixel(5, 20) & 0xFFFFFF, 0u) << "the preview shows the test wave";
}

TEST(Prefs, BackgroundReachesTheMainWindowOnlyOnSave) {
    Dialog d;
    const QRgb green = d.TimeBackgroundPixel();
    const QRgb grey = d.SpectrumBackgroundPixel();
    d.form1->ChooseTimeBackground(1);
    d.form1->ChooseSpectrumBackground(2);
    EXPECT_EQ(d.TimeBackgroundPixel(), green);
    EXPECT_EQ(d.SpectrumBackgroundPixel(), grey);
    EXPECT_NE(d.form1->Image1->Picture().pixel(100, 100), d.form1->TimePictures[0].pixel(240, 180));
    d.form1->Button1->click();
    EXPECT_EQ(d.TimeBackgroundPixel(), d.form1->TimePictures[1].pixel(10, 10));
    EXPECT_EQ(d.w1->Client.Image().pixel(40, 40), d.form1->TimePictures[1].pixel(10, 10))
        << "repainted at once";
    EXPECT_NE(d.form1->SpectrumPictures[2].pixel(10, 4), grey);
    EXPECT_EQ(d.w1->Client.Image().pixel(40, 350), d.form1->SpectrumPictures[2].pixel(10, 4));
    EXPECT_FALSE(d.form1->isVisible());
    EXPECT_EQ(d.Ini(), "[DISP]\nLW=1\nBG=1\nBFG=2\nCP=1\nPC=0\nPCF=0\nFW=1\n[MISC]\nWYSSTATUS=1\n"
                       "[ADVANCED]\nTimeout1=20\nCzekaj1=20\nTimer=25\nSpow=1\n");
}

TEST(Prefs, LettersInAFieldStopTheSaveAfterTheInterval) {
    Dialog d;
    BoxWatcher watcher;
    d.form1->Edit1->setText("40");
    d.form1->Edit2->setText("abc");
    d.form1->Button1->click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Drganik");
    EXPECT_EQ(watcher.seen[0].text, "'abc' is not a valid integer value");
    EXPECT_TRUE(d.form1->isVisible());
    EXPECT_EQ(d.w2->Timer1.interval(), 40);
    EXPECT_EQ(d.state.settings.Timeout1, 20);
    EXPECT_EQ(d.Ini().find("ADVANCED"), std::string::npos);
    EXPECT_NE(d.Ini().find("[MISC]"), std::string::npos);
}

TEST(Prefs, ChangedPortIsNotedOnceAndTakesEffectOnlyAfterRestart) {
    Dialog d;
    BoxWatcher watcher;
    d.form1->RadioGroup1[4]->click();
    d.form1->RadioGroup1[0]->click(); // back to the old one: no note
    d.form1->Button1->click();
    EXPECT_TRUE(watcher.seen.empty());
    d.w2->SmoothFlatButton6->click();
    d.form1->RadioGroup1[4]->click();
    d.form1->Button1->click();
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0].caption, "Uwaga!");
    EXPECT_EQ(watcher.seen[0].text,
              "Aby zmiana portu COM odniosła skutek\r\nmusisz uruchomić ponownie program.");
    EXPECT_NE(d.Ini().find("CP=5"), std::string::npos);
    EXPECT_EQ(d.w2->Com1.PortNum(), 1);
    EXPECT_EQ(d.w1->StatusBar1->PanelText(9), "Com1");
}

TEST(Prefs, ZeroIntervalStopsThePollTimer) {
    Dialog d;
    d.form1->Edit1->setText("0");
    d.form1->Button1->click();
    EXPECT_FALSE(d.w2->Timer1.isActive());
}

TEST(Prefs, DockMovesOnlyTheMainWindowCentreMovesBoth) {
    Dialog d;
    d.w1->move(10, 10);
    const QPoint tool = d.w2->frameGeometry().topLeft();
    d.form1->SpeedButton1Click();
    EXPECT_EQ(d.w2->frameGeometry().topLeft(), tool);
    EXPECT_EQ(d.w1->frameGeometry().topLeft(), QPoint(tool.x() - d.w1->frameGeometry().width(), tool.y()));
    d.w2->move(0, 0);
    d.form1->SpeedButton2Click();
    EXPECT_NE(d.w2->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(d.w1->frameGeometry().right() + 1, d.w2->frameGeometry().left());
}

TEST(Prefs, WebLinksOpenThePlaceholderAddresses) {
    Dialog d;
    std::vector<QString> opened;
    d.form1->OpenUrl = [&](const QString& url) { opened.push_back(url); };
    d.form1->findChild<TImage*>("Banner")->OnClick();
    d.form1->findChild<TImage*>("Image13")->OnClick();
    const std::vector<QString> expected = {"https://drganik.example/", "https://dystrybutor.example/"};
    EXPECT_EQ(opened, expected) << "the maker's banner, then the distributor's logo";
    EXPECT_EQ(d.form1->findChild<TImage*>("Banner")->toolTip(), expected[0]);
}
