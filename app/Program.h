#pragma once
// The one place that builds the program: the settings file, the state read from
// it, the acquisition session, the printer, then the main window, the tool
// window, the settings dialog, the measurements window, the capture window and the Lupa,
// in that order, connected here with one table of keys for every window. The
// entry point and the window tests both run it.

#include "AcquisitionSession.h"
#include "CaptureWindow.h"
#include "ErrorBox.h"
#include "LupaWindow.h"
#include "Main.h"
#include "MeasurementsWindow.h"
#include "Prefs.h"
#include "ProgramKeys.h"
#include "ProgramState.h"
#include "SettingsFile.h"
#include "Toolbox.h"
#include "WindowAutoset.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <memory>
#include <string>

class Program {
  public:
    // sharedSettingsPath: read while the file at settingsPath does not exist yet.
    // portDevice: the device for the selected port in this run instead of the one the file maps it to.
    // sessionPath: the state file the session is kept in at exit (none when empty) and given back
    // from at start; a fresh run leaves it alone.
    explicit Program(const std::string& settingsPath, const std::string& sharedSettingsPath = {},
                     std::string portDevice = {}, std::string sessionPath = {}, bool fresh = false);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // What a key of the table does, in whichever window it was pressed.
    void Run(Command command);
    // Writes the session to its state file; the program does as it ends.
    void KeepSession();

    ErrorBox errors{QStringLiteral("Drganik")};
    // Qt's file dialog keeps its history with the user's configuration; this run's goes to a
    // folder of its own, gone at exit, so nothing is created there before the user saves.
    QTemporaryDir dialogHistory;
    SettingsFile Ini; // open for the whole run
    ProgramState state;
    AcquisitionSession session;
    QPrinter Printer{QPrinter::HighResolution};
    std::unique_ptr<TW1> W1;
    std::unique_ptr<TW2> W2;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TMeasurementsWindow> measurements; // hidden until asked for
    std::unique_ptr<TCaptureWindow> captureWindow;     // hidden until asked for
    std::unique_ptr<WindowAutosetControls> autosetControls;
    std::unique_ptr<AutosetRun> autoset; // F6: after the session, so its tick follows the cycle's
    std::unique_ptr<TLupaWindow> lupa;   // hidden until asked for

  private:
    void ConnectWindows();
    void ConnectCapture();
    void ShowPortDevice();
    void TellOfUnreadSettings();
    std::string sessionPath_;
};
