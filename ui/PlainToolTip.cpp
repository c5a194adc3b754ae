#include "PlainToolTip.h"

#include <QTextDocument>

QString PlainToolTip(const QString& text) {
    // A tooltip guesses markup from the text itself: what it would take for markup is handed
    // over as markup that spells the text out; anything else is shown as it is already.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}
