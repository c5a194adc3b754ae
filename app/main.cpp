// Drganik: entry point. Builds the program (main window, tool window and the
// hidden settings dialog, in that order), then runs the event loop.

#include "FileSizeLimit.h"
#include "PlainTextBoxes.h"
#include "Program.h"
#include "QtTranslation.h"
#include "SettingsLocation.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    KeepRunningAtFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Drganik"));
    InstallQtTranslation(app); // whatever the system locale
    InstallPlainTextMessageBoxes(app);
    const auto programDir = QCoreApplication::applicationDirPath().toStdString();
    const auto settingsPath = SettingsFilePath(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    Program program(settingsPath, ProgramSettingsFile(programDir));
    return QApplication::exec();
}
