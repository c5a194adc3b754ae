#pragma once
// The one place that builds the program: its state, the settings file, the
// serial port, the poll timer, the printer, the main window, the tool window,
// the settings dialog, the measurements window and the capture window, created
// in that order and connected here. The entry
// point and the window tests both run it.

#include "AcquisitionCycle.h"
#include "Capture.h"
#include "CaptureWindow.h"
#include "CommPort.h"
#include "ErrorBox.h"
#include "Main.h"
#include "MeasurementsWindow.h"
#include "PollTimer.h"
#include "Prefs.h"
#include "ProgramState.h"
#include "SettingsFile.h"
#include "Toolbox.h"

#include <QPrinter>
#include <memory>
#include <string>

class Program {
  public:
    // sharedSettingsPath: read while the file at settingsPath does not exist yet.
    // portDevice: the device for the selected port in this run instead of the one the file maps it to.
    explicit Program(const std::string& settingsPath, const std::string& sharedSettingsPath = {},
                     std::string portDevice = {});
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    ErrorBox errors{QStringLiteral("Drganik")};
    ProgramState state;
    SettingsFile Ini; // open for the whole run
    TCommPort Com1;
    PollTimer Timer1;
    QPrinter Printer{QPrinter::HighResolution};
    Capture capture; // the history and the recording; the cycle keeps blocks there
    std::unique_ptr<TW1> W1;
    std::unique_ptr<TW2> W2; // works the acquisition cycle
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TMeasurementsWindow> Pomiary;    // hidden until asked for
    std::unique_ptr<TCaptureWindow> Przechwytywanie; // hidden until asked for

  private:
    void ConfigurePort();
    void ConnectWindows();
    void ShowPortDevice();
    void ConnectCapture();
    std::string portDevice_;
};
