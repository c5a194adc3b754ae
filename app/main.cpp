// Drganik: entry point. Reads the command line, builds the program (main window,
// tool window and the hidden settings dialog, in that order), then runs the event loop.

#include "CommandLine.h"
#include "FileSizeLimit.h"
#include "PlainTextBoxes.h"
#include "Program.h"
#include "QtTranslation.h"
#include "SessionState.h"
#include "SettingsLocation.h"
#include "StopSignals.h"

#include <QApplication>
#include <QStandardPaths>
#include <cstdlib>
#include <iostream>

namespace {

// A Wayland compositor ignores the positions a program asks for, so the two windows would not
// stand side by side: use X11 through XWayland unless the user chose a platform.
void PreferX11UnderWayland() {
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("WAYLAND_DISPLAY") && std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "xcb", 1);
}

} // namespace

int main(int argc, char** argv) {
    // Before any window: --help and --version must work without a display.
    const CommandLine command = ParseCommandLine({argv + (argc > 0 ? 1 : 0), argv + argc});
    switch (command.action) {
    case CommandLine::Action::Help:
        std::cout << HelpText();
        return 0;
    case CommandLine::Action::Version:
        std::cout << VersionText();
        return 0;
    case CommandLine::Action::Error:
        std::cerr << "drganik: " << command.error << "\nWięcej: drganik --help\n";
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    KeepRunningAtFileSizeLimit();
    PreferX11UnderWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Drganik"));
    InstallQtTranslation(app); // whatever the system locale
    InstallPlainTextMessageBoxes(app);
    const auto programDir = QCoreApplication::applicationDirPath().toStdString();
    const auto settingsPath = SettingsFilePath(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    Program program(settingsPath, ProgramSettingsFile(programDir), command.port, SessionStatePath(),
                    command.fresh);
    const StopSignals stopSignals([&program] { program.W2->EndProgram(false); });
    return QApplication::exec();
}
