// Drganik: entry point. Builds the program (main window, tool window and the
// hidden settings dialog, in that order), then runs the event loop.

#include "Program.h"
#include "SettingsLocation.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Drganik"));
    const auto settingsPath =
        SettingsFilePath(QCoreApplication::applicationDirPath().toStdString(),
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    Program program(settingsPath);
    return QApplication::exec();
}
