#include "ErrorBox.h"

#include <QMessageBox>
#include <exception>

ErrorBox::ErrorBox(QString caption) : caption_(std::move(caption)) {}

void ErrorBox::Show(const QString& text) {
    // A port that stays away would otherwise pile up one box per recovery cycle.
    if (open_.contains(text))
        return;
    open_.insert(text);
    QMessageBox box(QMessageBox::Critical, caption_, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText); // messages quote paths and typed text: never markup
    box.exec();
    open_.remove(text);
}

void ErrorBox::Run(const std::function<void()>& handler) {
    QString text;
    try {
        handler();
        return;
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("Nieznany błąd");
    }
    Show(text);
}
