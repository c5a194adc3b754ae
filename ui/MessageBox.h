#pragma once
// The program's own messages: a modal box with a fixed caption, no icon and an OK button,
// its text shown as plain text (a file or device name is never markup).

class QString;
class QWidget;

void ShowPlainMessage(QWidget* parent, const QString& caption, const QString& text);
