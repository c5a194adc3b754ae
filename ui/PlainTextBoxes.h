#pragma once
// Every message box shows its text as plain text, Qt's own ones included (the file dialog
// quotes folder names): names and typed text must never be rendered as markup.

class QApplication;

void InstallPlainTextMessageBoxes(QApplication& app);
