#pragma once
// Text from a file, a device or the user as a tooltip: shown as written, never read as markup.

#include <QString>

QString PlainToolTip(const QString& text);
