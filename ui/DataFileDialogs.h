#pragma once
// The data-file dialogs of the tool window; an empty name means cancelled.
// They start in folder (the current folder when empty). Saving also offers CSV
// and PNG; a name without an extension gets the chosen kind's.

#include <QString>

class QWidget;

QString AskSaveDataFile(QWidget* parent, const QString& folder = {});
QString AskOpenDataFile(QWidget* parent, const QString& folder = {});
