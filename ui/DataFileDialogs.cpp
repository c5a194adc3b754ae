#include "DataFileDialogs.h"

#include <QFileDialog>

QString AskSaveDataFile(QWidget* parent) {
    QFileDialog d(parent, QStringLiteral("Podaj nazwę pliku do zapisu"), QString(),
                  QStringLiteral("Plik danych drganika (*.drg)"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setDefaultSuffix(QStringLiteral("drg"));
    d.setOption(QFileDialog::DontConfirmOverwrite, false);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

QString AskOpenDataFile(QWidget* parent) {
    QFileDialog d(parent, QStringLiteral("Wybierz plik do otwarcia"), QString(),
                  QStringLiteral("Pliki danych Drganika (*.drg)"));
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setDefaultSuffix(QStringLiteral("drg"));
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}
