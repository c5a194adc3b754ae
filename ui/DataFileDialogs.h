#pragma once
// The data-file dialogs of the tool window; an empty name means cancelled.

#include <QString>

class QWidget;

QString AskSaveDataFile(QWidget* parent);
QString AskOpenDataFile(QWidget* parent);
