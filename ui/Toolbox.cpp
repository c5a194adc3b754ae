#include "Toolbox.h"

#include "AtomicFile.h"
#include "DataFile.h"
#include "DataFileDialogs.h"
#include "ErrorBox.h"
#include "Glyphs.h"
#include "Main.h"
#include "PlaceWindowPair.h"
#include "Printing.h"
#include "ProgramState.h"
#include "WaitMs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QScreen>
#include <QWindow>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const QString& text,
                  bool bold = false) {
    auto* l = Place<QLabel>(parent, name, left, top, 10, 10);
    l->setText(text);
    if (bold)
        l->setFont(UiFont(11, true));
    l->adjustSize();
    return l;
}

struct DialLabel {
    int left, top;
    const char* text;
};

// The captions around a knob, one per position, in the largest size up to 10 pixels
// at which no two run together (a gap of 2 pixels at least).
void DialLabels(QWidget* panel, std::initializer_list<DialLabel> labels) {
    const auto apart = [&](const QFont& font) {
        const QFontMetrics fm(font);
        std::vector<QRect> taken;
        for (const auto& d : labels) {
            const QString text = QString::fromUtf8(d.text);
            const QRect r(d.left, d.top, fm.horizontalAdvance(text) + 2, fm.height());
            for (const QRect& other : taken)
                if (r.intersects(other))
                    return false;
            taken.push_back(r);
        }
        return true;
    };
    QFont font = UiFont(10);
    while (font.pixelSize() > 6 && !apart(font))
        font.setPixelSize(font.pixelSize() - 1);
    for (const auto& d : labels) {
        auto* l = Place<QLabel>(panel, "", d.left, d.top, 10, 10);
        l->setFont(font);
        l->setText(QString::fromUtf8(d.text));
        l->adjustSize();
    }
}

TSmoothFlatButton* GlyphButton(QWidget* parent, const char* name, int left, const QImage& glyph,
                               const char* hint) {
    auto* b = Place<TSmoothFlatButton>(parent, name, left, 2, 28, 28);
    b->SetGlyph(glyph);
    if (hint)
        b->setToolTip(QString::fromUtf8(hint));
    return b;
}

TImage* Picture(QWidget* parent, const char* name, QRect place, const QImage& picture) {
    auto* img = Place<TImage>(parent, name, place.x(), place.y(), place.width(), place.height());
    img->SetPicture(picture);
    img->SetCenter(true);
    return img;
}

// A knob as its form loads it: limits, position and pictures first, the change handler later.
TKnob* MakeKnob(QWidget* parent, const char* name, int left, int top, int min, int max, int baseAngle,
                int radius, const QImage& handle) {
    auto* k = Place<TKnob>(parent, name, left, top, 85, 85);
    k->BeginLoading();
    k->SetMaxValue(max);
    k->SetMinValue(min);
    k->SetPosition(min);
    QImage back(85, 85, QImage::Format_Mono); // all white, and white is transparent: the panel shows
    back.setColorCount(2);
    back.setColor(0, qRgb(0, 0, 0));
    back.setColor(1, qRgb(255, 255, 255));
    back.fill(1);
    k->SetBackImage({back, std::nullopt});
    k->SetHandleImage({handle, std::nullopt});
    k->SetBaseAngle(baseAngle);
    k->SetRadius(radius);
    k->EndLoading();
    return k;
}

// Puts a window's outer top-left corner on a point, whatever frame the window system adds.
void MoveFrameTo(QWidget& w, QPoint target) {
    w.move(target);
    const QPoint off = w.frameGeometry().topLeft() - target;
    if (!off.isNull())
        w.move(w.pos() - off);
}

} // namespace

TW2::TW2(ProgramState& state, ErrorBox& errors, TW1& w1, const std::string& settingsPath,
         const std::string& sharedSettingsPath)
    : Ini(settingsPath, sharedSettingsPath), Com1([&errors](std::function<void()> task) {
          // Port events reach the GUI thread through the event queue, guarded like every handler.
          QMetaObject::invokeMethod(
              qApp, [&errors, task = std::move(task)] { errors.Run(task); }, Qt::QueuedConnection);
      }),
      Cycle({state.acq, state.trigger, state.settings, state.samples, state.spectrum, Com1, *this, w1}),
      state_(state), errors_(errors), w1_(w1) {
    setObjectName("W2");
    setWindowTitle(QStringLiteral("Narzędzia"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(162, 519);
    setFont(UiFont());

    // The port as the form sets it: 115200 8N1, DTR and RTS on, one block in, two frames out.
    Com1.Line.Baudrate = br115200;
    Com1.Line.FlowControl = TCommFlowControl{};
    Com1.SetMonitorEvents({ceRxChar});
    Com1.Buffers.ReadSize = 1000;
    Com1.Buffers.WriteSize = 10;
    Com1.EventPriority = tpHighest;
    Com1.SetDeviceResolver([this](const std::string& name) {
        const auto mapped = Ini.ReadString("PORTS", name, "");
        return mapped.empty() ? DefaultDevicePath(name) : mapped;
    });
    Timer1.setTimerType(Qt::PreciseTimer);
    SetTimerInterval(25);
    // Pens are device pixels: at 600 dpi the thinnest line stays visible on paper.
    Printer.setResolution(600);

    BuildLayout();
    ConnectHandlers();
    errors_.Run([this] { FormCreate(); });
    w1_.OnFormClose = [this] {
        closing_ = true; // quitting closes this window too; its close (and pause) is not the main window's
        if (Com1.IsOpen())
            Com1.Close();
        qApp->quit();
    };
}

void TW2::FormCreate() {
    PlaceWindowPair();
    state_.settings.Czekaj1 = 20;
    state_.settings.Timeout1 = 20;
    SmoothFlatButton9->SetGlyph(WithTransparentColor(FallingEdgeGlyph(), 0xFFFFFF));
    show();
    PlaceWindowPair(); // again, now that the window system has given the tool window its frame
    // A window manager frames the windows later still: placed again once it has.
    for (QWidget* w : {static_cast<QWidget*>(&w1_), static_cast<QWidget*>(this)})
        if (w->windowHandle())
            w->windowHandle()->installEventFilter(this);

    state_.settings = ReadSettings(Ini);
    SetTimerInterval(state_.settings.Timer);

    Com1.SetPortNum(state_.settings.CP);
    w1_.StatusBar1->SetPanelText(9, QStringLiteral("Com%1").arg(state_.settings.CP));

    w1_.SpectrumOverlay.PenColor = ColorFromBgr(state_.settings.PCF);
    Przel->SetPicture(w1_.SwitchPictures[0]);
    state_.trigger.TriggerMode = 0;
    state_.volt.SpectrumDivisor = 10;
    BuildSpectrumTables(state_.tables);
    state_.transform = std::make_unique<BlockTransform>(state_.tables);
    Cycle.SetTransform(state_.transform.get());
}

void TW2::ConnectHandlers() {
    connect(SmoothFlatButton5, &QToolButton::clicked, this,
            errors_.Guard([this](bool pressed) { SmoothFlatButton5Click(pressed); }));
    connect(SmoothButton1, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton1Click(); }));
    connect(SmoothButton2, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton2Click(); }));
    connect(SmoothButton3, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton3Click(); }));
    // Queued: Qt does not re-enter a timer whose handler is still running, but ticks must go on
    // inside the pauses and message boxes a tick can open (time-outs keep counting there).
    // (A functor without parameters: a queued call hands no usable value for the signal's private tag.)
    connect(
        &Timer1, &QTimer::timeout, this, [this] { errors_.Run([this] { Timer1Timer(); }); },
        Qt::QueuedConnection);
    Com1.OnRxChar = [this](TCustomCommPort* sender, int count) { Com1RxChar(sender, count); };
    Knob1->OnChange = errors_.Guard([this](TKnob*) { Knob1Change(); });
    Knob3->OnChange = errors_.Guard([this](TKnob*) { Knob3Change(); });
    Przel->OnClick = errors_.Guard([this] { PrzelClick(); });
    connect(SmoothFlatButton1, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton1Click(); }));
    connect(SmoothFlatButton2, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton2Click(); }));
    connect(SmoothFlatButton9, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton9Click(); }));
    connect(SmoothFlatButton6, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton6Click(); }));
    connect(SmoothFlatButton12, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton12Click(); }));
    AskPrinter = [this](QPrinter& printer) {
        return QPrintDialog(&printer, this).exec() == QDialog::Accepted;
    };
    connect(SmoothFlatButton8, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton8Click(); }));
    connect(SmoothFlatButton7, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton7Click(); }));
    AskSaveFileName = [this] { return AskSaveDataFile(this); };
    AskOpenFileName = [this] { return AskOpenDataFile(this); };
    connect(RepeatButton1, &QToolButton::clicked, this, errors_.Guard([this] { SmoothFlatButton10Click(); }));
    connect(RepeatButton2, &QToolButton::clicked, this, errors_.Guard([this] { SmoothFlatButton11Click(); }));
    connect(SmoothFlatButton3, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton3Click(); }));
    connect(SmoothFlatButton4, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton4Click(); }));
    connect(btWyzeruj, &QToolButton::clicked, this, errors_.Guard([this] { btWyzerujClick(); }));
    connect(btMinMax, &QToolButton::clicked, this, errors_.Guard([this] { btMinMaxClick(); }));
    w1_.OnPointerReadout = [this](const QString& x, const QString& y) {
        lX->setText(x);
        lY->setText(y);
    };
}

void TW2::SetTriggerModeTo(int mode) {
    SetTriggerMode(state_.trigger, mode);
    Przel->SetPicture(w1_.SwitchPictures[size_t(mode)]);
    w1_.StatusBar1->SetPanelText(4, QString::fromLatin1(TriggerModeText(mode)));
    w1_.TriggerLine->setVisible(mode != 0); // shown where the last placement put it
}

void TW2::SmoothFlatButton6Click() {
    if (OnShowSettings)
        OnShowSettings();
}

void TW2::PrzelClick() {
    SetTriggerModeTo((state_.trigger.TriggerMode + 1) % 3);
}

void TW2::Knob3Change() {
    SetTriggerLevel(state_.trigger, Knob3->Position());
    const QString text = QString::fromStdString(TriggerLevelText(state_.trigger));
    Label14->setText(text);
    w1_.StatusBar1->SetPanelText(6, text);
}

void TW2::SmoothFlatButton10Click() {
    StepTriggerLevel(+1);
}

void TW2::SmoothFlatButton11Click() {
    StepTriggerLevel(-1);
}

void TW2::StepTriggerLevel(int step) {
    const int to = Knob3->Position() + step;
    if (to < 1 || to > 1023)
        return;             // nothing at the limits
    Knob3->SetPosition(to); // fires Knob3Change
    SetTriggerLevel(state_.trigger, Knob3->Position());
    Knob3->RequestRepaint();
}

void TW2::SmoothFlatButton8Click() {
    if (!Idle(state_.acq))
        return; // no dialog, no message while a block may be changing
    const QString chosen = AskSaveFileName();
    if (chosen.isEmpty())
        return;
    const QString name = QString::fromStdString(WithDataFileExtension(chosen.toStdString()));
    // Written beside the target and renamed over it only when complete: a failed save keeps the old file.
    if (!WriteFileAtomically(QFile::encodeName(name).toStdString(),
                             FormatDataFile(state_.samples, Knob2->Position()))) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Bląd!"),
                        QStringLiteral("Nie mogę utworzyc pliku!"), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

void TW2::SmoothFlatButton7Click() {
    if (Idle(state_.acq))
        state_.acq.SeenTimebase = Knob2->Position(); // only a position from the file counts as a change
    const QString name = AskOpenFileName();
    if (name.isEmpty())
        return;
    const DataFileRead read = LoadDataFile(QFile::encodeName(name).toStdString(), state_.samples);
    if (!read.ok) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Bląd!"),
                        QStringLiteral("Nie mogę otworzyc pliku!"), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    Knob2->SetPosition(read.timebase); // the knob limits it; the tick handles the change
    w1_.SetFastTracePen();
    w1_.DrawFileTrace();
    if (state_.transform)
        state_.transform->ComputeSpectrum(state_.samples, state_.spectrum);
    w1_.DrawSpectrum();
    w1_.ShowFastTrace();
    EnableMarkerButtons();
    w1_.RepaintNow();
}

void TW2::SmoothFlatButton12Click() {
    if (Idle(state_.acq))
        Printer.setDocName(QStringLiteral("Oscylograf"));
    if (!AskPrinter(Printer))
        return;
    PrintInputs in;
    in.samples = &state_.samples;
    in.spectrum = &state_.spectrum;
    in.FullScaleVolts = state_.volt.FullScaleVolts;
    in.MvPerRow = state_.volt.MvPerRow;
    in.SpectrumDivisor = state_.volt.SpectrumDivisor;
    in.LW = state_.settings.LW;
    for (size_t i = 0; i < 5; ++i) {
        in.timeLabels[i] = w1_.T[i]->text();
        in.freqLabels[i] = w1_.F[i]->text();
    }
    in.percentLabels = {QStringLiteral("100%"), QStringLiteral("66%"), QStringLiteral("33%"),
                        QStringLiteral("0%")};
    in.decimalSeparator = QLocale().decimalPoint();
    QPainter painter;
    if (!painter.begin(&Printer))
        throw std::runtime_error("Nie można rozpocząć wydruku: drukarka jest niedostępna.");
    PrintViews(painter, {Printer.width(), Printer.height()}, in);
    if (!painter.end())
        throw std::runtime_error("Wydruk nie powiódł się: błąd systemu drukowania.");
}

void TW2::Knob1Change() {
    w1_.ApplyVoltRange(Knob1->Position());
}

void TW2::SmoothFlatButton3Click() {
    w1_.ShowMarkerItems(true);
    btWyzeruj->setEnabled(true);
    btMinMax->setEnabled(true);
    w1_.RepaintNow();
}

void TW2::SmoothFlatButton4Click() {
    btWyzerujClick();
    w1_.ShowMarkerItems(false);
    btWyzeruj->setEnabled(false);
    btMinMax->setEnabled(false);
    w1_.RepaintNow();
}

void TW2::btWyzerujClick() {
    w1_.ResetMarkers();
}

void TW2::btMinMaxClick() {
    w1_.MarkersToExtremes();
}

void TW2::SmoothFlatButton5Click(bool pressed) {
    if (pressed)
        Cycle.Connect();
    else
        Cycle.Disconnect();
}

void TW2::SetStartStop(bool startEnabled, bool stopEnabled) {
    SmoothButton1->setEnabled(startEnabled);
    SmoothButton2->setEnabled(stopEnabled);
}

void TW2::ReleaseConnectButton() {
    SmoothFlatButton5->setChecked(false);
}

void TW2::HideMarkers() {
    w1_.ShowMarkerItems(false);
    for (auto* b : {SmoothFlatButton3, SmoothFlatButton4}) {
        b->setChecked(false);
        b->setEnabled(false);
    }
    btWyzeruj->setEnabled(false);
    btMinMax->setEnabled(false);
}

void TW2::EnableMarkerButtons() {
    SmoothFlatButton3->setEnabled(true);
    SmoothFlatButton4->setEnabled(true);
}

void TW2::ShowProbeFailure() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Błąd!"),
                    QStringLiteral("Sprawdź czy urządzenie jest podpięte do komputera"), QMessageBox::Ok,
                    this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void TW2::Pause(int ms) {
    WaitMs(ms);
}
void TW2::PlaceWindowPair() {
    const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
    const QSize outer1 = w1_.frameGeometry().size();
    const QSize outer2 = frameGeometry().size();
    placedOuter1_ = outer1;
    placedOuter2_ = outer2;
    const auto p = ::PlaceWindowPair({area.width(), area.height()}, {outer1.width(), outer1.height()},
                                     {outer2.width(), outer2.height()});
    MoveFrameTo(*this, {p.w2.left, p.w2.top});
    MoveFrameTo(w1_, {p.w1.left, p.w1.top});
}

// The frames a window manager adds are known by a window's first expose (or the move that
// framing it causes); start-up placed the pair with the sizes it knew then.
bool TW2::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Expose || e->type() == QEvent::Move) {
        if (w1_.frameGeometry().size() != placedOuter1_ || frameGeometry().size() != placedOuter2_)
            PlaceWindowPair();
        const auto framed = [](QWidget& w) { return w.frameGeometry().size() != w.size(); };
        if (framed(w1_) && framed(*this)) { // placed by both frames: start-up is done
            w1_.windowHandle()->removeEventFilter(this);
            windowHandle()->removeEventFilter(this);
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TW2::SetTimerInterval(int ms) {
    Timer1.setInterval(ms);
    if (ms > 0)
        Timer1.start();
    else
        Timer1.stop();
}

void TW2::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!closing_)
        errors_.Run([this] { FormClose(); });
}

void TW2::FormClose() {
    closing_ = true;
    if (Com1.IsOpen())
        Com1.Close();
    Timer1.stop();
    WaitMs(500);
    qApp->quit();
}

void TW2::BuildLayout() {
    BuildTopPanel();
    BuildVoltPanel();
    BuildTimePanel();
    BuildTriggerPanels();
    BuildCursorPanels();
}

void TW2::BuildTopPanel() {
    auto* panel = Place<TSmoothPanel>(this, "SmoothPanel1", 0, 0, 161, 57);
    SmoothFlatButton5 = GlyphButton(panel, "SmoothFlatButton5", 2, ConnectGlyph(), "Połącz z drganikiem");
    SmoothFlatButton5->setCheckable(true);
    SmoothFlatButton7 = GlyphButton(panel, "SmoothFlatButton7", 38, OpenGlyph(), "Otwórz plik z danymi");
    SmoothFlatButton8 = GlyphButton(panel, "SmoothFlatButton8", 66, SaveGlyph(), "Zapisz dane do pliku");
    SmoothFlatButton12 = GlyphButton(panel, "SmoothFlatButton12", 94, PrintGlyph(), nullptr);
    SmoothFlatButton6 = GlyphButton(panel, "SmoothFlatButton6", 128, SettingsGlyph(), "Ustawienia");

    const struct {
        TSmoothButton** button;
        const char* name;
        int left, width;
        const char* caption;
        const char* hint;
        bool enabled;
    } buttons[] = {{&SmoothButton1, "SmoothButton1", 0, 57, "Start", "Rozpocznij", false},
                   {&SmoothButton2, "SmoothButton2", 56, 57, "Stop", "Stop", false},
                   {&SmoothButton3, "SmoothButton3", 112, 48, "Reset", "Reset", true}};
    for (const auto& b : buttons) {
        *b.button = Place<TSmoothButton>(panel, b.name, b.left, 34, b.width, 22);
        (*b.button)->setText(QString::fromUtf8(b.caption));
        (*b.button)->setToolTip(QString::fromUtf8(b.hint));
        (*b.button)->setEnabled(b.enabled);
    }
}

void TW2::BuildVoltPanel() {
    auto* panel = Place<TSmoothPanel>(this, "Napiecie", 0, 57, 161, 120);
    MakeLabel(panel, "Label5", 72, 8, QStringLiteral("V/dz"));
    Picture(panel, "Image2", {32, 16, 100, 100}, DialFace(100, 4, 45, 315));
    Picture(panel, "Image3", {40, 24, 85, 85}, KnobBody(85));
    Knob1 = MakeKnob(panel, "Knob1", 40, 24, 0, 3, 45, 38, KnobHandle(10, false));
    Knob1->setCursor(Qt::PointingHandCursor);
    DialLabels(panel, {{24, 100, "1V"}, {16, 16, "0,5V"}, {128, 16, "0,2V"}, {128, 100, "0,1V"}});
}

void TW2::BuildTimePanel() {
    auto* panel = Place<TSmoothPanel>(this, "Dzialki", 0, 178, 161, 159);
    MakeLabel(panel, "Label6", 72, 8, QStringLiteral("T/dz"));
    Picture(panel, "Image1", {32, 40, 100, 100}, DialFace(100, 16, 25, 335));
    Picture(panel, "Image4", {40, 48, 85, 85}, KnobBody(85));
    Knob2 = MakeKnob(panel, "Knob2", 40, 48, 0, 15, 25, 38, KnobHandle(10, false));
    Knob2->setCursor(Qt::PointingHandCursor);
    DialLabels(panel, {{40, 140, "0,1ms"},
                       {4, 128, "0,2ms"},
                       {4, 104, "0,5ms"},
                       {4, 84, "1ms"},
                       {4, 64, "2ms"},
                       {4, 40, "5ms"},
                       {37, 28, "10ms"},
                       {62, 28, "20ms"},
                       {88, 28, "50ms"},
                       {112, 28, "0,1s"},
                       {136, 40, "0,2s"},
                       {136, 64, "0,5s"},
                       {136, 84, "1s"},
                       {136, 104, "2s"},
                       {136, 128, "5s"},
                       {104, 140, "10s"}});
}

void TW2::BuildTriggerPanels() {
    auto* panel3 = Place<TSmoothPanel>(this, "SmoothPanel3", 0, 337, 73, 118);
    auto* title = Place<QLabel>(panel3, "Label13", 1, 8, 73, 13);
    title->setText(QStringLiteral("Trigger"));
    title->setFont(UiFont(11, true));
    title->setAlignment(Qt::AlignHCenter);
    Przel = Place<TImage>(panel3, "Przel", 16, 32, 16, 75);
    Przel->setCursor(Qt::PointingHandCursor);
    SmoothFlatButton9 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton9", 32, 32, 25, 25);
    SmoothFlatButton2 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton2", 32, 56, 25, 23);
    SmoothFlatButton2->SetGlyph(RisingEdgeGlyph());
    SmoothFlatButton1 = Place<TSmoothFlatButton>(panel3, "SmoothFlatButton1", 32, 80, 25, 25);
    SmoothFlatButton1->setText(QStringLiteral("OFF"));
    SmoothFlatButton1->setFont(UiFont(9));

    auto* panel5 = Place<TSmoothPanel>(this, "SmoothPanel5", 73, 337, 88, 118);
    auto* heading = Place<QLabel>(panel5, "Label11", 0, 8, 87, 26);
    heading->setText(QStringLiteral("Poziom\nwyzwalania"));
    heading->setFont(UiFont(11, true));
    heading->setAlignment(Qt::AlignHCenter);
    Label14 = Place<QLabel>(panel5, "Label14", 12, 34, 60, 13);
    Label14->setText(QStringLiteral("10 mV"));
    Label14->setFont(UiFont(11, true));
    Label14->setAlignment(Qt::AlignHCenter);
    Picture(panel5, "Image5", {0, 25, 85, 85}, KnobBody(40));
    Knob3 = MakeKnob(panel5, "Knob3", 0, 25, 1, 1023, 30, 22, KnobHandle(6, true));
    RepeatButton1 = Place<TRepeatSpeedButton>(panel5, "RepeatButton1", 18, 88, 25, 18);
    RepeatButton2 = Place<TRepeatSpeedButton>(panel5, "RepeatButton2", 44, 88, 25, 18);
    RepeatButton1->setText(QStringLiteral("+"));
    RepeatButton2->setText(QStringLiteral("-"));
    for (auto* b : {RepeatButton1, RepeatButton2})
        b->setFont(SerifFont(19, true));
}

void TW2::BuildCursorPanels() {
    auto* panel4 = Place<TSmoothPanel>(this, "SmoothPanel4", 0, 455, 73, 64);
    MakeLabel(panel4, "Label27", 8, 8, QStringLiteral("Pozycja:"), true);
    MakeLabel(panel4, "Label28", 8, 24, QStringLiteral("X:"));
    MakeLabel(panel4, "Label29", 8, 40, QStringLiteral("Y:"));
    lX = Place<QLabel>(panel4, "lX", 24, 24, 49, 13);
    lY = Place<QLabel>(panel4, "lY", 24, 40, 49, 13);

    auto* panel2 = Place<TSmoothPanel>(this, "SmoothPanel2", 73, 455, 88, 64);
    auto* title = Place<QLabel>(panel2, "Label12", 8, 6, 65, 16);
    title->setText(QStringLiteral("Kursory"));
    title->setFont(UiFont(11, true));
    title->setAlignment(Qt::AlignHCenter);
    const struct {
        TSmoothFlatButton** button;
        const char* name;
        int left, top;
        const char* caption;
        const char* hint;
    } buttons[] = {{&SmoothFlatButton3, "SmoothFlatButton3", 5, 23, "Włącz", "Pokaż / ukryj znaczniki"},
                   {&SmoothFlatButton4, "SmoothFlatButton4", 43, 23, "Wyłącz", "Wyzeruj znaczniki"},
                   {&btWyzeruj, "btWyzeruj", 5, 40, "Wyzeruj", nullptr},
                   {&btMinMax, "btMinMax", 43, 40, "MinMax", nullptr}};
    for (const auto& b : buttons) {
        *b.button = Place<TSmoothFlatButton>(panel2, b.name, b.left, b.top, 38, 17);
        (*b.button)->setText(QString::fromUtf8(b.caption));
        (*b.button)->setFont(SerifFont(8));
        if (b.hint)
            (*b.button)->setToolTip(QString::fromUtf8(b.hint));
        (*b.button)->setEnabled(false);
    }
}
