#include "ErrorBox.h"

#include <QMessageBox>
#include <exception>

ErrorBox::ErrorBox(QString caption) : caption_(std::move(caption)) {}

void ErrorBox::Show(const QString& text) {
    // One box at a time, the newest text in it: a port that stays away would otherwise pile
    // up one box per recovery cycle, and an unplugged adapter fails in more ways than one.
    if (open_) {
        open_->setText(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption_, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText); // messages quote paths and typed text: never markup
    open_ = &box;
    box.exec();
    open_ = nullptr;
}

QString ErrorBox::OpenText() const {
    return open_ ? open_->text() : QString();
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
