#include "Toolbox.h"

#include "AcquisitionCycle.h"
#include "AtomicFile.h"
#include "BlockTransform.h"
#include "CommPort.h"
#include "CsvExport.h"
#include "DataFile.h"
#include "DataFileDialogs.h"
#include "DataFileLoad.h"
#include "ErrorBox.h"
#include "Glyphs.h"
#include "Main.h"
#include "PlaceWindowPair.h"
#include "PollTimer.h"
#include "Printing.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "WaitMs.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace {

// Puts a window's outer top-left corner on a point, whatever frame the window system adds.
void MoveFrameTo(QWidget& w, QPoint target) {
    w.move(target);
    const QPoint off = w.frameGeometry().topLeft() - target;
    if (!off.isNull())
        w.move(w.pos() - off);
}

std::string PngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        return {};
    return bytes.toStdString();
}

} // namespace

TW2::TW2(ProgramState& state, ErrorBox& errors, TW1& w1, ToolboxLinks links)
    : state_(state), errors_(errors), w1_(w1), links_(links) {
    setObjectName("W2");
    setWindowTitle(QStringLiteral("Narzędzia"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(162, 519);
    setFont(UiFont());

    BuildLayout();
    ConnectHandlers();
    auto* measurements = new QAction(QStringLiteral("Pomiary\tF2"), this);
    connect(measurements, &QAction::triggered, this, errors_.Guard([this] {
        if (OnToggleMeasurements)
            OnToggleMeasurements();
    }));
    addAction(measurements);
    auto* capture = new QAction(QStringLiteral("Przechwytywanie\tF3"), this);
    connect(capture, &QAction::triggered, this, errors_.Guard([this] {
        if (OnToggleCapture)
            OnToggleCapture();
    }));
    addAction(capture);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    errors_.Run([this] { FormCreate(); });
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

    state_.settings = ReadSettings(links_.Ini);
    links_.Timer1.SetTimerInterval(state_.settings.Timer);

    links_.Com1.SetPortNum(state_.settings.CP);
    w1_.SetStatusText(StatusPanel::Port, QStringLiteral("Com%1").arg(state_.settings.CP));

    w1_.SetSpectrumColor(ColorFromBgr(state_.settings.PCF));
    Przel->SetPicture(w1_.SwitchPicture(0));
    state_.trigger.TriggerMode = 0;
    state_.volt.SpectrumDivisor = 10;
    BuildSpectrumTables(state_.tables);
    state_.transform = std::make_unique<BlockTransform>(state_.tables);
}

void TW2::ConnectHandlers() {
    connect(SmoothFlatButton5, &QToolButton::clicked, this,
            errors_.Guard([this](bool pressed) { SmoothFlatButton5Click(pressed); }));
    connect(SmoothButton1, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton1Click(); }));
    connect(SmoothButton2, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton2Click(); }));
    connect(SmoothButton3, &QPushButton::clicked, this, errors_.Guard([this] { SmoothButton3Click(); }));
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
    AskSaveFileName = [this] { return AskSaveDataFile(this, fileFolder_); };
    AskOpenFileName = [this] { return AskOpenDataFile(this, fileFolder_); };
    connect(RepeatButton1, &QToolButton::clicked, this, errors_.Guard([this] { SmoothFlatButton10Click(); }));
    connect(RepeatButton2, &QToolButton::clicked, this, errors_.Guard([this] { SmoothFlatButton11Click(); }));
    connect(SmoothFlatButton3, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton3Click(); }));
    connect(SmoothFlatButton4, &QToolButton::clicked, this,
            errors_.Guard([this] { SmoothFlatButton4Click(); }));
    connect(btWyzeruj, &QToolButton::clicked, this, errors_.Guard([this] { btWyzerujClick(); }));
    connect(btMinMax, &QToolButton::clicked, this, errors_.Guard([this] { btMinMaxClick(); }));
}

void TW2::AddKeysTo(QWidget& window) {
    const auto key = [this, &window](QKeySequence keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(keys, &window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, errors_.Guard(std::move(action)));
    };
    // Through the buttons, as a click: a disabled one does nothing. A button the keyboard
    // focused takes Space itself, so Space presses either that button or Start/Stop, never both.
    key(QKeySequence(Qt::Key_Space), [this] {
        if (SmoothButton1->isEnabled())
            SmoothButton1->click();
        else
            SmoothButton2->click();
    });
    key(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { SmoothFlatButton7->click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SmoothFlatButton8->click(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { SmoothFlatButton12->click(); });
    key(QKeySequence(Qt::Key_F2), [this] {
        if (OnToggleMeasurements)
            OnToggleMeasurements();
    });
}

void TW2::ShowPointerReadout(const QString& x, const QString& y) {
    lX->setText(x);
    lY->setText(y);
}

void TW2::SmoothButton1Click() {
    cycle_->Start();
}

void TW2::SmoothButton2Click() {
    cycle_->Stop();
}

void TW2::SmoothButton3Click() {
    cycle_->Reset();
}

void TW2::Timer1Timer() {
    cycle_->Tick();
}

void TW2::Com1RxChar(TCustomCommPort*, int) {
    cycle_->RxChar();
}

void TW2::SetTriggerModeTo(int mode) {
    SetTriggerMode(state_.trigger, mode);
    Przel->SetPicture(w1_.SwitchPicture(mode));
    w1_.SetStatusText(StatusPanel::Trigger, QString::fromLatin1(TriggerModeText(mode)));
    w1_.ShowTriggerLine(mode != 0);
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
    w1_.SetStatusText(StatusPanel::Level, text);
}

void TW2::SmoothFlatButton10Click() {
    StepTriggerLevel(+1);
}

void TW2::SmoothFlatButton11Click() {
    StepTriggerLevel(-1);
}

void TW2::StepTriggerLevel(int step) {
    const int to = Knob3->Position() + step;
    if (to < MinTriggerLevel || to > MaxTriggerLevel)
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
    fileFolder_ = QFileInfo(chosen).absolutePath();
    const QString name = QString::fromStdString(WithDataFileExtension(chosen.toStdString()));
    const QString kind = QFileInfo(name).suffix().toLower();
    std::string content;
    if (kind == QLatin1String("csv"))
        content = FormatCsv(state_.samples, w1_.ShownBlockTimebase()); // the block's own, not the knob's
    else if (kind == QLatin1String("png"))
        content = PngBytes(w1_.ShownPicture());
    else
        content = FormatDataFile(state_.samples, Knob2->Position());
    // Written beside the target and renamed over it only when complete: a failed save keeps the old file.
    if (content.empty() || !WriteFileAtomically(QFile::encodeName(name).toStdString(), content)) {
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
    fileFolder_ = QFileInfo(name).absolutePath();
    if (OnOpenRecording && OnOpenRecording(name))
        return;
    const DataFileRead read = LoadDataFile(QFile::encodeName(name).toStdString(), state_.samples);
    if (!read.ok) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Bląd!"),
                        QStringLiteral("Nie mogę otworzyc pliku!"), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    ShowStoredBlock(read.timebase);
}

void TW2::ShowStoredBlock(int timebase, std::optional<int> voltPosition) {
    if (voltPosition)
        Knob1->SetPosition(*voltPosition); // its change event rescales the view
    Knob2->SetPosition(timebase);          // the knob limits it; the tick handles the change
    w1_.SetFastTracePen();
    w1_.DrawFileTrace();
    if (state_.transform)
        state_.transform->ComputeSpectrum(state_.samples, state_.spectrum);
    w1_.DrawSpectrum();
    w1_.ShowFastTrace();
    EnableMarkerButtons();
    w1_.RepaintNow();
    w1_.BlockShown(Knob2->Position());
}

void TW2::SmoothFlatButton12Click() {
    if (Idle(state_.acq))
        links_.Printer.setDocName(QStringLiteral("Oscylograf"));
    if (!AskPrinter(links_.Printer))
        return;
    PrintInputs in;
    in.samples = &state_.samples;
    in.spectrum = &state_.spectrum;
    in.FullScaleVolts = state_.volt.FullScaleVolts;
    in.MvPerRow = state_.volt.MvPerRow;
    in.SpectrumDivisor = state_.volt.SpectrumDivisor;
    in.LW = state_.settings.LW;
    const AxisLabels labels = AxisLabelTexts(w1_.LabelledTimebase());
    for (size_t i = 0; i < 5; ++i) {
        in.timeLabels[i] = QString::fromStdString(labels.time[i]);
        in.freqLabels[i] = QString::fromStdString(labels.frequency[i]);
    }
    in.percentLabels = {QStringLiteral("100%"), QStringLiteral("66%"), QStringLiteral("33%"),
                        QStringLiteral("0%")};
    in.decimalSeparator = QLocale().decimalPoint();
    QPainter painter;
    if (!painter.begin(&links_.Printer))
        throw std::runtime_error("Nie można rozpocząć wydruku: drukarka jest niedostępna.");
    PrintViews(painter, {links_.Printer.width(), links_.Printer.height()}, in);
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
        cycle_->Connect();
    else
        cycle_->Disconnect();
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

void TW2::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!closing_)
        errors_.Run([this] { FormClose(); });
}

void TW2::EndWithMainWindow() {
    closing_ = true;
    if (links_.Com1.IsOpen())
        links_.Com1.Close();
    qApp->quit();
}

void TW2::FormClose() {
    closing_ = true;
    if (links_.Com1.IsOpen())
        links_.Com1.Close();
    links_.Timer1.stop();
    WaitMs(500);
    qApp->quit();
}
