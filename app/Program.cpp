#include "Program.h"

#include "SessionMemory.h"
#include "Settings.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <iostream>

Program::Program(const std::string& settingsPath, const std::string& sharedSettingsPath,
                 std::string portDevice, std::string sessionPath, bool fresh)
    : Ini(settingsPath, sharedSettingsPath), state(ReadSettings(Ini)),
      session(
          state, Ini, [this](const std::function<void()>& task) { errors.Run(task); },
          std::move(portDevice)) {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, dialogHistory.path());
    // A save that waits for another instance's lock keeps the windows painting; the user's
    // input waits, so the save cannot start again inside itself.
    Ini.SetWhileWaiting([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    // Pens are device pixels: at 600 dpi the thinnest line stays visible on paper.
    Printer.setResolution(600);
    W1 = std::make_unique<TW1>(state, errors);
    W1->show();
    W2 = std::make_unique<TW2>(state, errors, *W1, session, Printer);
    session.AttachViews(*W2, *W1);
    Form1 = std::make_unique<TForm1>(state, errors, *W1, *W2, Ini, session.Timer1);
    measurements = std::make_unique<TMeasurementsWindow>(*W1, *W2);
    captureWindow = std::make_unique<TCaptureWindow>(*W1, *W2, session.capture, errors);
    lupa = std::make_unique<TLupaWindow>(*W1, *W2, state.tables, errors);
    autosetControls = std::make_unique<WindowAutosetControls>(*W1, *W2, session, state);
    autoset = std::make_unique<AutosetRun>(session.Timer1, state, *autosetControls,
                                           [this](const std::function<void()>& task) { errors.Run(task); });
    ConnectWindows();
    ConnectCapture();
    ShowPortDevice();
    for (QWidget* window : std::initializer_list<QWidget*>{
             W1.get(), W2.get(), Form1.get(), measurements.get(), captureWindow.get(), lupa.get()})
        BindProgramKeys(*window, [this](Command command) { errors.Run([this, command] { Run(command); }); });
    W1->FormPaint(); // the first paint, now that the dialog has drawn the backgrounds
    // A fresh run neither reads the kept session nor replaces it.
    if (!fresh) {
        sessionPath_ = std::move(sessionPath);
        if (const std::optional<SessionState> kept = ReadSessionState(sessionPath_))
            RestoreSession(*this, *kept);
    }
    W2->OnEnding = [this] { KeepSession(); };
    TellOfUnreadSettings();
}

// As the program ends, with the windows still as the user left them. Nothing to tell in a window by then.
void Program::KeepSession() {
    if (!sessionPath_.empty() && !WriteSessionState(sessionPath_, TakeSession(*this)))
        std::cerr << "drganik: nie zapisano stanu sesji w " << sessionPath_ << "\n";
}

// Once, when the windows are up: the settings in use are the defaults, and why.
void Program::TellOfUnreadSettings() {
    if (!Ini.Unreadable())
        return;
    const QString text = QStringLiteral("Nie wczytano pliku ustawień %1: jest za duży albo nie jest zwykłym "
                                        "plikiem. Używam ustawień domyślnych.")
                             .arg(QString::fromStdString(Ini.FileName()));
    QTimer::singleShot(0, W1.get(), [this, text] { errors.Show(text); });
}

void Program::Run(Command command) {
    switch (command) {
    case Command::StartOrStop:
        return W2->StartOrStop();
    case Command::OpenFile:
        return W2->Press(TW2::ToolButton::Open);
    case Command::SaveFile:
        return W2->Press(TW2::ToolButton::Save);
    case Command::Print:
        return W2->Press(TW2::ToolButton::Print);
    case Command::ToggleMeasurements:
        return measurements->Toggle();
    case Command::ToggleCapture:
        return captureWindow->Toggle();
    case Command::SingleShot:
        return captureWindow->SingleShotClick();
    case Command::Autoset:
        return autoset->Begin();
    case Command::OlderBlock:
        return captureWindow->StepBack();
    case Command::NewerBlock:
        return captureWindow->StepForward();
    case Command::PositionUp:
        return W1->StepPosition(+1);
    case Command::PositionDown:
        return W1->StepPosition(-1);
    case Command::PositionPageUp:
        return W1->StepPosition(+TW1::PositionShiftStep);
    case Command::PositionPageDown:
        return W1->StepPosition(-TW1::PositionShiftStep);
    case Command::TypeLevel:
        return W2->AskLevel();
    case Command::ToggleLupa:
        return lupa->Toggle();
    }
}

void Program::ConnectWindows() {
    TW2* w2 = W2.get();
    W1->OnPointerReadout = [w2](const QString& x, const QString& y) { w2->ShowPointerReadout(x, y); };
    W1->OnFormClose = [w2] { w2->EndProgram(false); };
    W1->OnLevelDragged = [w2](int level) { w2->TurnKnob(TW2::ToolKnob::Level, level); };
    // The Lupa sees every block shown; while it averages, the measurements take the average.
    W1->OnBlockShown = [this](int timebase) {
        lupa->ShowBlock(state.samples,
                        {timebase, W2->VoltPosition(), state.trigger.TriggerMode, state.trigger.TriggerLevel},
                        !W2->ShowingStoredBlock());
        measurements->ShowBlock(lupa->ShowsAverage() ? lupa->AveragedBlock() : state.samples, timebase);
    };
    W2->OnToggleLupa = [this] { lupa->Toggle(); };
    W2->OnToggleMeasurements = [this] { measurements->Toggle(); };
    W2->OnAutoset = [this] { autoset->Begin(); };
    W1->OnLiveBlock = [this](int timebase) { autoset->BlockShown(state.samples, timebase); };
    autoset->OnFinished = [w1 = W1.get()](const AutosetEnd& end) {
        w1->ShowNote(QString::fromStdString(end.message));
    };
    Form1->OnSaved = [this] { ShowPortDevice(); };
    W2->OnShowSettings = [form1 = Form1.get()] {
        form1->show();
        form1->raise();
        form1->activateWindow();
    };
}

// The port panel names the port ("Com1"); its hint says which device that is.
void Program::ShowPortDevice() {
    W1->SetStatusHint(StatusPanel::Port, QString::fromStdString(session.Com1.DevicePath()));
}

void Program::ConnectCapture() {
    TCaptureWindow* window = captureWindow.get();
    session.capture.OnTaken = [window] { window->BlockTaken(); };
    window->OnSingleShot = [this] { session.SingleShot(); };
    window->CanStep = [this] { return !state.acq.Running; };
    window->OnShowBlock = [this](const CapturedBlock& block) {
        std::copy(block.samples.begin(), block.samples.end(), state.samples.begin());
        W2->ShowStoredBlock(block.timebase, block.voltRange);
    };
    W2->OnToggleCapture = [window] { window->Toggle(); };
    W2->OnOpenRecording = [window](const QString& name) { return window->OpenRecording(name); };
}
