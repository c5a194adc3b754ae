// Drganik: entry point. Creates the main window, the tool window and the
// hidden settings dialog, in that order, then runs the event loop.

#include "Main.h"

#include "ErrorBox.h"
#include "FileSizeLimit.h"
#include "PlainTextBoxes.h"
#include "Prefs.h"
#include "ProgramState.h"
#include "QtTranslation.h"
#include "SettingsLocation.h"
#include "Toolbox.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    KeepRunningAtFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Drganik"));
    InstallQtTranslation(app); // whatever the system locale
    InstallPlainTextMessageBoxes(app);
    ErrorBox errors(QStringLiteral("Drganik"));
    ProgramState state;

    const auto programDir = QCoreApplication::applicationDirPath().toStdString();
    const auto settingsPath = SettingsFilePath(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());

    TW1 w1(state, errors);
    w1.show();
    TW2 w2(state, errors, w1, settingsPath, ProgramSettingsFile(programDir));
    TForm1 form1(state, errors, w1, w2);
    w2.OnShowSettings = [&form1] {
        form1.show();
        form1.raise();
        form1.activateWindow();
    };
    w1.FormPaint(); // the first paint, now that the dialog has drawn the backgrounds
    return QApplication::exec();
}
