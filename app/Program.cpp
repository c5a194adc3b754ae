#include "Program.h"

#include "PortDevice.h"
#include "Settings.h"
#include "TransformTables.h"

#include <QApplication>
#include <QShortcut>
#include <algorithm>
#include <climits>
#include <cstdint>

Program::Program(const std::string& settingsPath, const std::string& sharedSettingsPath,
                 std::string portDevice)
    : Ini(settingsPath, sharedSettingsPath), Com1([this](std::function<void()> task) {
          // Port events reach the GUI thread through the event queue, guarded like every handler.
          QMetaObject::invokeMethod(
              qApp, [this, task = std::move(task)] { errors.Run(task); }, Qt::QueuedConnection);
      }),
      portDevice_(std::move(portDevice)) {
    // A save that waits for another instance's lock keeps the windows painting; the user's
    // input waits, so the save cannot start again inside itself.
    Ini.SetWhileWaiting([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    // The state comes into being here, before any window: the settings read once, the
    // spectrum tables and the transform built; the windows only show it.
    state.settings = ReadSettings(Ini);
    BuildSpectrumTables(state.tables);
    state.transform = std::make_unique<BlockTransform>(state.tables);
    W1 = std::make_unique<TW1>(state, errors);
    W1->show();
    ConfigurePort();
    // The receive thread announces bytes no more often than it must for every tick to find
    // those that came since the last one: well inside one tick, with room for late wake-ups.
    // The tick takes the announcement itself, so the GUI thread does not wake for it; only
    // when two ticks have gone by without one is it posted.
    // The tick is not range-checked: the delays are worked out wide enough not to overflow.
    Timer1.OnInterval = [this](int ms) {
        const std::int64_t tick = ms;
        Com1.SetRxHoldoffMs(ms > 0 ? int(tick * 3 / 4) : 8);
        Com1.SetRxNotifyLatencyMs(ms > 0 ? int(std::min<std::int64_t>(2 * tick, INT_MAX)) : 0);
    };
    Timer1.SetTimerInterval(25);
    // Pens are device pixels: at 600 dpi the thinnest line stays visible on paper.
    Printer.setResolution(600);
    W2 = std::make_unique<TW2>(state, errors, *W1, ToolboxLinks{Ini, Com1, Timer1, Printer, capture});
    Form1 = std::make_unique<TForm1>(state, errors, *W1, *W2, Ini, Timer1);
    Pomiary = std::make_unique<TMeasurementsWindow>(*W2);
    Przechwytywanie = std::make_unique<TCaptureWindow>(*W2, capture, errors);
    ConnectWindows();
    ConnectCapture();
    ShowPortDevice();
    W1->FormPaint(); // the first paint, now that the dialog has drawn the backgrounds
}

// The port as the tool window's form sets it: 115200 8N1, DTR and RTS on, one block in, two frames out.
void Program::ConfigurePort() {
    Com1.Line.Baudrate = br115200;
    Com1.Line.FlowControl = TCommFlowControl{};
    Com1.SetMonitorEvents({ceRxChar});
    Com1.Buffers.ReadSize = 1000;
    Com1.Buffers.WriteSize = 10;
    Com1.EventPriority = tpHighest;
    // Read at every open: a device chosen in the settings dialog takes effect at the next connect.
    Com1.SetDeviceResolver([this](const std::string& name) {
        return portDevice_.empty() ? MappedDevicePath(Ini, name) : portDevice_;
    });
}

void Program::ConnectWindows() {
    TW2* w2 = W2.get();
    QObject::connect(&Timer1, &PollTimer::timeout, w2,
                     [this, w2] { errors.Run([w2] { w2->Timer1Timer(); }); });
    Com1.OnRxChar = [w2](TCustomCommPort* sender, int count) { w2->Com1RxChar(sender, count); };
    W1->OnPointerReadout = [w2](const QString& x, const QString& y) { w2->ShowPointerReadout(x, y); };
    W1->OnFormClose = [w2] { w2->EndWithMainWindow(); };
    W1->OnBlockShown = [this](int timebase) { Pomiary->ShowBlock(state.samples, timebase); };
    W2->OnToggleMeasurements = [this] { Pomiary->Toggle(); };
    W2->AddKeysTo(*W1);
    W2->AddKeysTo(*W2);
    W2->AddKeysTo(*Pomiary);
    Form1->OnSaved = [this] { ShowPortDevice(); };
    W2->OnShowSettings = [form1 = Form1.get()] {
        form1->show();
        form1->raise();
        form1->activateWindow();
    };
}

// The port panel names the port ("Com1"); its hint says which device that is.
void Program::ShowPortDevice() {
    W1->SetStatusHint(StatusPanel::Port, QString::fromStdString(Com1.DevicePath()));
}

// The history's length is a key of its own section, so the settings dialog keeps its layout.
void Program::ConnectCapture() {
    capture.SetHistoryLength(
        std::size_t(std::clamp(Ini.ReadInteger("Przechwytywanie", "Historia", 1000), 0, 100000)));
    TCaptureWindow* window = Przechwytywanie.get();
    capture.OnTaken = [window] { window->BlockTaken(); };
    window->OnSingleShot = [this] { W2->Cycle().SingleShot(); };
    window->CanStep = [this] { return !state.acq.Running; };
    window->OnShowBlock = [this](const CapturedBlock& block) {
        std::copy(block.samples.begin(), block.samples.end(), state.samples.begin());
        W2->ShowStoredBlock(block.timebase, block.voltRange);
    };
    W2->OnToggleCapture = [window] { window->Toggle(); };
    W2->OnOpenRecording = [window](const QString& name) { return window->OpenRecording(name); };
    for (QWidget* w : {static_cast<QWidget*>(W1.get()), static_cast<QWidget*>(W2.get()),
                       static_cast<QWidget*>(Pomiary.get())})
        window->AddKeysTo(*w);
    for (auto [key, back] : {std::pair{Qt::Key_PageUp, true}, std::pair{Qt::Key_PageDown, false}}) {
        auto* shortcut = new QShortcut(QKeySequence(key), W1.get());
        QObject::connect(shortcut, &QShortcut::activated, W1.get(), errors.Guard([window, back = back] {
            back ? window->StepBack() : window->StepForward();
        }));
    }
}
