#include "Toolbox.h"

#include "AcquisitionSession.h"
#include "AtomicFile.h"
#include "BlockTransform.h"
#include "DataFile.h"
#include "DataFileDialogs.h"
#include "DataFileLoad.h"
#include "ErrorBox.h"
#include "Glyphs.h"
#include "LevelDialog.h"
#include "Main.h"
#include "MessageBox.h"
#include "PrintJob.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "SavedFile.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "WaitMs.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopedValueRollback>

TW2::TW2(ProgramState& state, ErrorBox& errors, TW1& w1, AcquisitionSession& session, QPrinter& printer)
    : state_(state), errors_(errors), w1_(w1), session_(session), printer_(printer) {
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
    auto* lupa = new QAction(QStringLiteral("Lupa\tF5"), this);
    connect(lupa, &QAction::triggered, this, errors_.Guard([this] {
        if (OnToggleLupa)
            OnToggleLupa();
    }));
    addAction(lupa);
    auto* autoset = new QAction(QStringLiteral("Autoset\tF6"), this);
    connect(autoset, &QAction::triggered, this, errors_.Guard([this] {
        if (OnAutoset)
            OnAutoset();
    }));
    addAction(autoset);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    Label14->installEventFilter(this);
    Label14->raise(); // over the level knob's square, or the knob takes the double click as two turns
    Label14->setToolTip(QStringLiteral("Dwuklik (albo Ctrl+L): wpisz poziom w V lub mV"));
    AskLevelValue = [this](int current) -> std::optional<int> {
        TLevelDialog dialog(this, current);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Level();
    };
    errors_.Run([this] { FormCreate(); });
}

void TW2::FormCreate() {
    PlaceWindowPair(w1_, *this);
    SmoothFlatButton9->SetGlyph(WithTransparentColor(FallingEdgeGlyph(), 0xFFFFFF));
    show();
    // Again, now that the window system has given the tool window its frame, and again
    // once a window manager has framed the windows.
    PlaceWindowPairOnceFramed(w1_, *this);

    w1_.SetStatusText(StatusPanel::Port, QStringLiteral("Com%1").arg(state_.settings.CP));

    w1_.SetSpectrumColor(ColorFromBgr(state_.settings.PCF));
    Przel->SetPicture(w1_.SwitchPicture(0));
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

void TW2::StartOrStop() {
    // A button the keyboard focused takes Space itself, so Space presses either that button
    // or Start/Stop, never both; through the buttons, so a disabled one does nothing.
    if (SmoothButton1->isEnabled())
        SmoothButton1->click();
    else
        SmoothButton2->click();
}

void TW2::ShowPointerReadout(const QString& x, const QString& y) {
    lX->setText(x);
    lY->setText(y);
}

void TW2::SmoothButton1Click() {
    session_.Start();
}

void TW2::SmoothButton2Click() {
    session_.Stop();
}

void TW2::SmoothButton3Click() {
    session_.Reset();
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

void TW2::AskLevel() {
    if (const std::optional<int> level = AskLevelValue(Knob3->Position()))
        TurnKnob(ToolKnob::Level, *level);
}

bool TW2::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Label14 && e->type() == QEvent::MouseButtonDblClick) {
        errors_.Run([this] { AskLevel(); });
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void TW2::SmoothFlatButton10Click() {
    StepTriggerLevel(+1);
}

void TW2::SmoothFlatButton11Click() {
    StepTriggerLevel(-1);
}

void TW2::StepTriggerLevel(int step) {
    if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
        step *= LevelShiftStep;
    const int to = std::clamp(Knob3->Position() + step, MinTriggerLevel, MaxTriggerLevel);
    if (to == Knob3->Position())
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
    const std::string content =
        SavedFileContent(name, {state_.samples, w1_.ShownBlockTimebase(), Knob2->Position(),
                                [this] { return w1_.ShownPicture(); }});
    // Written beside the target and renamed over it only when complete: a failed save keeps the old file.
    if (content.empty() || !WriteFileAtomically(QFile::encodeName(name).toStdString(), content))
        ShowPlainMessage(this, QStringLiteral("Bląd!"), QStringLiteral("Nie mogę utworzyc pliku!"));
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
        ShowPlainMessage(this, QStringLiteral("Bląd!"), QStringLiteral("Nie mogę otworzyc pliku!"));
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
    const QScopedValueRollback stored(showingStoredBlock_, true);
    w1_.BlockShown(Knob2->Position());
}

void TW2::SmoothFlatButton12Click() {
    if (Idle(state_.acq))
        printer_.setDocName(QStringLiteral("Oscylograf"));
    if (!AskPrinter(printer_))
        return;
    PrintJob(printer_, state_, w1_.LabelledTimebase());
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
        session_.Connect();
    else
        session_.Disconnect();
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
    ShowPlainMessage(this, QStringLiteral("Błąd!"),
                     QStringLiteral("Sprawdź czy urządzenie jest podpięte do komputera"));
}

void TW2::Pause(int ms) {
    WaitMs(ms);
}

void TW2::closeEvent(QCloseEvent* e) {
    e->accept();
    if (!closing_)
        errors_.Run([this] { EndProgram(true); });
}

void TW2::EndProgram(bool pause) {
    if (!closing_ && OnEnding)
        OnEnding(); // once, with the windows still as the user left them
    closing_ = true;
    session_.ClosePort();
    if (pause) {
        session_.Timer1.stop(); // no tick inside the pause
        WaitMs(AcquisitionSession::ShutdownPauseMs);
    }
    qApp->quit();
}
