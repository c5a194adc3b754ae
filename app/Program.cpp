#include "Program.h"

#include "Settings.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <algorithm>

Program::Program(const std::string& settingsPath, const std::string& sharedSettingsPath,
                 std::string portDevice)
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
    ConnectWindows();
    ConnectCapture();
    ShowPortDevice();
    for (QWidget* window : std::initializer_list<QWidget*>{
             W1.get(), W2.get(), Form1.get(), measurements.get(), captureWindow.get(), lupa.get()})
        BindProgramKeys(*window, [this](Command command) { errors.Run([this, command] { Run(command); }); });
    W1->FormPaint(); // the first paint, now that the dialog has drawn the backgrounds
    TellOfUnreadSettings();
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
    case Command::OlderBlock:
        return captureWindow->StepBack();
    case Command::NewerBlock:
        return captureWindow->StepForward();
    case Command::ToggleLupa:
        return lupa->Toggle();
    }
}

void Program::ConnectWindows() {
    TW2* w2 = W2.get();
    W1->OnPointerReadout = [w2](const QString& x, const QString& y) { w2->ShowPointerReadout(x, y); };
    W1->OnFormClose = [w2] { w2->EndProgram(false); };
    // The Lupa sees every block shown; while it averages, the measurements take the average.
    W1->OnBlockShown = [this](int timebase) {
        lupa->ShowBlock(state.samples,
                        {timebase, W2->VoltPosition(), state.trigger.TriggerMode, state.trigger.TriggerLevel},
                        !W2->ShowingStoredBlock());
        measurements->ShowBlock(lupa->ShowsAverage() ? lupa->AveragedBlock() : state.samples, timebase);
    };
    W2->OnToggleLupa = [this] { lupa->Toggle(); };
    W2->OnToggleMeasurements = [this] { measurements->Toggle(); };
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
