#pragma once
// The data-file dialogs of the tool window; an empty name means cancelled.
// They start in folder (the current folder when empty). Saving also offers CSV
// and PNG; a name without an extension gets the chosen kind's.

#include <QString>

class QWidget;

QString AskSaveDataFile(QWidget* parent, const QString& folder = {});
QString AskOpenDataFile(QWidget* parent, const QString& folder = {});

// The magnifier's export: a PNG picture or a CSV table only.
enum class ExportKind { Picture, Table };
QString AskSaveExportFile(QWidget* parent, const QString& folder, ExportKind kind);
