#pragma once
// Qt's own dialogs and buttons (file, print, colour, message boxes) speak Polish
// with the rest of the interface, whatever the system locale.

class QCoreApplication;

// Installs Qt's Polish translation; false when it is not installed on the system.
bool InstallQtTranslation(QCoreApplication& app);
