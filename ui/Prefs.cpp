#include "Prefs.h"

#include "Backgrounds.h"
#include "ErrorBox.h"
#include "Main.h"
#include "MessageBox.h"
#include "PlainToolTip.h"
#include "PollTimer.h"
#include "PortChooser.h"
#include "PortDevice.h"
#include "ProgramState.h"
#include "ScreenRects.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "Toolbox.h"
#include "WebLinks.h"
#include "WindowPlacement.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDesktopServices>
#include <QUrl>

namespace {

// The square wave the previews show: high at y = 20, low below the bottom edge.
void TestWave(Canvas& c) {
    c.MoveTo(0, 89);
    for (int i = 0; i <= 12; ++i) {
        const int x0 = 20 * i;
        c.LineTo(x0 + 1, 20);
        c.LineTo(x0 + 9, 20);
        c.LineTo(x0 + 10, 140);
        c.LineTo(x0 + 20, 140);
    }
}

} // namespace

TForm1::TForm1(ProgramState& state, ErrorBox& errors, TW1& w1, TW2& w2, SettingsFile& ini, PollTimer& timer)
    : QDialog(nullptr), state_(state), errors_(errors), w1_(w1), w2_(w2), ini_(ini), timer_(timer) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("Ustawienia"));
    // No border icons, hence no close box: "Zapisz" and "Anuluj" hide it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
    setFixedSize(667, 273);
    setFont(UiFont());
    for (int i = 0; i < BackgroundCount; ++i) {
        TimePictures[size_t(i)] = TimeBackgroundPicture(i);
        SpectrumPictures[size_t(i)] = SpectrumBackgroundPicture(i);
    }
    AskColor = [this](QColor preset) {
        QColorDialog d(preset, this);
        d.setOption(QColorDialog::DontUseNativeDialog, false);
        return d.exec() == QDialog::Accepted ? d.selectedColor() : QColor();
    };
    OpenUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    BuildLayout();
    ConnectHandlers();
    FormCreate();
}

void TForm1::ConnectHandlers() {
    const auto on = [this](QAbstractButton* b, auto handler) {
        connect(b, &QAbstractButton::clicked, this, errors_.Guard(handler));
    };
    on(Button1, [this] { Button1Click(); });
    on(Button2, [this] { Button2Click(); });
    on(SpeedButton1, [this] { SpeedButton1Click(); });
    on(SpeedButton2, [this] { SpeedButton2Click(); });
    on(SpeedButton3, [this] { SpeedButton3Click(); });
    for (int i = 0; i < 8; ++i)
        on(RadioGroup1[size_t(i)], [this, i] { RadioGroup1Click(i); });
    on(PortDeviceButton, [this] { PortDeviceButtonClick(); });
    PortChooser->OnChosen = errors_.Guard([this](int port, const std::string& path) {
        pendingPorts_[port] = path;
        ShowPortDevices();
    });
    on(CheckBox1, [this] { CheckBox1Click(); });
    on(CheckBox2, [this] { CheckBox2Click(); });
    on(CheckBox3, [this] { CheckBox3Click(); });
    connect(ComboBox2, &QComboBox::editTextChanged, this, errors_.Guard([this] { ComboBox2Change(); }));
    connect(ComboBox2, qOverload<int>(&QComboBox::activated), this,
            errors_.Guard([this] { ComboBox2Change(); }));
    Shape1->OnMouseDown = errors_.Guard([this] { Shape1MouseDown(); });
    Shape2->OnMouseDown = errors_.Guard([this] { Shape2MouseDown(); });
    for (int i = 0; i < BackgroundCount; ++i) {
        TimeThumbnails[size_t(i)]->OnClick = errors_.Guard([this, i] { ChooseTimeBackground(i); });
        SpectrumThumbnails[size_t(i)]->OnClick = errors_.Guard([this, i] { ChooseSpectrumBackground(i); });
    }
}

void TForm1::FormCreate() {
    RenderTimeBackground();
    RenderSpectrumBackground();
    // Both previews are drawn when their inputs change, never from a paint: the
    // preview is a child of the dialog, so redrawing it from a paint would paint again.
    DrawTimePreview();
    DrawSpectrumPreview();
    Shape1->SetColor(ColorFromBgr(state_.settings.PC));
    Shape2->SetColor(ColorFromBgr(state_.settings.PCF));
    ShowPortDevices();
}

void TForm1::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!shownBefore_) { // centred on the desktop the first time
        shownBefore_ = true;
        CentreOnWorkArea(*this);
    }
    errors_.Run([this] { FormShow(); });
}

void TForm1::FormShow() {
    const Settings& s = state_.settings;
    snapshot_ = {s.PC,  s.BG,  s.LW, s.CP,        s.Czekaj1, s.Timeout1, timer_.interval(),
                 s.BFG, s.PCF, s.FW, s.WYSSTATUS, s.Spow};
    if (s.CP >= 1 && s.CP <= 8)
        RadioGroup1[size_t(s.CP - 1)]->setChecked(true);
    CheckBox1->setChecked(s.FW);
    {
        const QSignalBlocker quiet(ComboBox2); // loading the box is no change of the width
        ComboBox2->setCurrentIndex(s.LW == 1 || s.LW == 2 ? s.LW - 1 : -1);
    }
    Shape1->SetColor(ColorFromBgr(s.PC));
    Edit1->setText(QString::number(timer_.interval()));
    Edit2->setText(QString::number(s.Timeout1));
    Edit3->setText(QString::number(s.Czekaj1));
    CheckBox2->setChecked(s.WYSSTATUS);
    CheckBox3->setChecked(s.Spow); // shows the setting as read, also when the file says off
    pendingPorts_.clear();
    ShowPortDevices();
}

std::string TForm1::PortDevice(int port) const {
    const auto chosen = pendingPorts_.find(port);
    return chosen != pendingPorts_.end() ? chosen->second : MappedDevicePath(ini_, PortName(port));
}

void TForm1::ShowPortDevices() {
    for (int i = 0; i < 8; ++i)
        RadioGroup1[size_t(i)]->setToolTip(PlainToolTip(QString::fromStdString(PortDevice(i + 1))));
}

void TForm1::DrawTimePreview() {
    const int bg = state_.settings.BG;
    if (bg >= 0 && bg < BackgroundCount) // an index from a hand-edited file draws no picture
        timePreview_.CopyRect(QRect(QPoint(-140, -80), SizeOf(screen::TimeViewRect)),
                              TimePictures[size_t(bg)]);
    timePreview_.PenColor = ColorFromBgr(state_.settings.PC);
    timePreview_.PenWidth = state_.settings.LW;
    TestWave(timePreview_);
    Image1->SetPicture(timePreview_.Image());
}

void TForm1::DrawSpectrumPreview() {
    const int bfg = state_.settings.BFG;
    if (bfg >= 0 && bfg < BackgroundCount)
        spectrumPreview_.CopyRect(QRect(QPoint(0, 0), SizeOf(screen::SpectrumViewRect)),
                                  SpectrumPictures[size_t(bfg)]);
    spectrumPreview_.PenColor = ColorFromBgr(state_.settings.PCF);
    spectrumPreview_.PenWidth = 1;
    TestWave(spectrumPreview_);
    Image12->SetPicture(spectrumPreview_.Image());
}

// An index outside 0..4 (a hand-edited file) leaves the buffer as it was.
void TForm1::RenderTimeBackground() {
    if (state_.settings.BG >= 0 && state_.settings.BG < BackgroundCount)
        w1_.SetTimeBackground(TimePictures[size_t(state_.settings.BG)]);
}

void TForm1::RenderSpectrumBackground() {
    if (state_.settings.BFG >= 0 && state_.settings.BFG < BackgroundCount)
        w1_.SetSpectrumBackground(SpectrumPictures[size_t(state_.settings.BFG)]);
}

void TForm1::Button1Click() {
    MakeSettingsFolder(ini_.FileName()); // the user's configuration folder waits for the first save
    SaveSettings(ini_, state_.settings,
                 {Edit1->text().toStdString(), Edit2->text().toStdString(), Edit3->text().toStdString()},
                 [this](int ms) { timer_.SetTimerInterval(ms); });
    // One at a time, so a refused write keeps the devices not yet written for the next "Zapisz".
    while (!pendingPorts_.empty()) {
        const auto& [port, path] = *pendingPorts_.begin();
        ini_.WriteString("PORTS", PortName(port), path);
        pendingPorts_.erase(pendingPorts_.begin());
    }
    RenderTimeBackground();
    w1_.SetSpectrumColor(ColorFromBgr(state_.settings.PCF));
    RenderSpectrumBackground();
    w1_.RepaintNow();
    if (state_.settings.CP != snapshot_.CP) {
        ShowPlainMessage(
            this, QStringLiteral("Uwaga!"),
            QStringLiteral("Aby zmiana portu COM odniosła skutek\r\nmusisz uruchomić ponownie program."));
    }
    if (OnSaved)
        OnSaved();
    hide();
}

void TForm1::Button2Click() {
    Settings& s = state_.settings;
    s.LW = snapshot_.LW;
    s.BG = snapshot_.BG;
    s.PC = snapshot_.PC;
    s.CP = snapshot_.CP;
    s.FW = snapshot_.FW;
    s.WYSSTATUS = snapshot_.WYSSTATUS;
    s.Czekaj1 = snapshot_.Czekaj1;
    s.Timeout1 = snapshot_.Timeout1;
    // Cancel takes back everything the dialog changed, the Fourier view and the slow-down too.
    s.BFG = snapshot_.BFG;
    s.PCF = snapshot_.PCF;
    s.Spow = snapshot_.Spow;
    Shape2->SetColor(ColorFromBgr(s.PCF));
    DrawTimePreview();
    DrawSpectrumPreview();
    timer_.SetTimerInterval(snapshot_.Timer);
    s.Timer = snapshot_.Timer;
    pendingPorts_.clear();
    ShowPortDevices();
    hide();
}

void TForm1::reject() {
    errors_.Run([this] { Button2Click(); });
}

void TForm1::RadioGroup1Click(int index) {
    state_.settings.CP = index + 1;
}
void TForm1::PortDeviceButtonClick() {
    PortChooser->Ask(state_.settings.CP, PortDevice(state_.settings.CP));
}

void TForm1::CheckBox1Click() {
    state_.settings.FW = CheckBox1->isChecked();
}
void TForm1::CheckBox2Click() {
    state_.settings.WYSSTATUS = CheckBox2->isChecked();
}
void TForm1::CheckBox3Click() {
    state_.settings.Spow = CheckBox3->isChecked();
}
void TForm1::BannerClick() {
    OpenUrl(kMakerUrl);
}
void TForm1::Image13Click() {
    OpenUrl(kDistributorUrl);
}

void TForm1::Press(DialogButton which) {
    switch (which) {
    case DialogButton::Save:
        return Button1->click();
    case DialogButton::Cancel:
        return Button2->click();
    case DialogButton::PortDevice:
        return PortDeviceButton->click();
    }
}

void TForm1::SpeedButton1Click() {
    DockMainWindow(w1_, w2_);
}

void TForm1::SpeedButton2Click() {
    PlaceWindowPair(w1_, w2_);
}

void TForm1::SpeedButton3Click() {
    const Settings defaults;
    Edit1->setText(QString::number(defaults.Timer));
    Edit2->setText(QString::number(defaults.Timeout1));
    Edit3->setText(QString::number(defaults.Czekaj1));
}

void TForm1::ChooseTimeBackground(int index) {
    state_.settings.BG = index;
    DrawTimePreview();
}

void TForm1::ChooseSpectrumBackground(int index) {
    state_.settings.BFG = index;
    DrawSpectrumPreview();
}

void TForm1::Shape1MouseDown() {
    const QColor c = AskColor(ColorFromBgr(state_.settings.PC));
    if (!c.isValid())
        return;
    state_.settings.PC = BgrFromColor(c);
    Shape1->SetColor(c);
    DrawTimePreview();
}

void TForm1::Shape2MouseDown() {
    const QColor c = AskColor(ColorFromBgr(state_.settings.PCF));
    if (!c.isValid())
        return;
    state_.settings.PCF = BgrFromColor(c);
    Shape2->SetColor(c);
    DrawSpectrumPreview();
}

void TForm1::ComboBox2Change() {
    const int index = ComboBox2->findText(ComboBox2->currentText());
    if (index == 0 || index == 1) // free text selects nothing: the width stays
        state_.settings.LW = index + 1;
    DrawTimePreview();
}
