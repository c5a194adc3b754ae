#include "DataFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// Qt's own file dialog, Polish with the rest of the interface. Its name field starts
// at the pattern, a pattern is no file name, and the folder of the name must exist.
class DataFileDialog : public QFileDialog {
  public:
    DataFileDialog(QWidget* parent, const QString& title, const QString& filter, AcceptMode mode)
        : QFileDialog(parent, title, QString(), filter) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(mode);
        setFileMode(mode == AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        setOption(QFileDialog::DontConfirmOverwrite, false);
        setDefaultSuffix(QStringLiteral("drg"));
        selectFile(QStringLiteral("*.drg"));
    }

    void accept() override {
        const QFileInfo name(selectedFiles().value(0));
        if (name.fileName().contains(QLatin1Char('*')) || name.fileName().contains(QLatin1Char('?')))
            return;
        if (!name.absoluteDir().exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1\nDirectory not found.\nPlease verify the "
                                                 "correct directory name was given.")
                                     .arg(QDir::toNativeSeparators(name.absolutePath())));
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QString AskSaveDataFile(QWidget* parent) {
    DataFileDialog d(parent, QStringLiteral("Podaj nazwę pliku do zapisu"),
                     QStringLiteral("Plik danych drganika (*.drg)"), QFileDialog::AcceptSave);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

QString AskOpenDataFile(QWidget* parent) {
    DataFileDialog d(parent, QStringLiteral("Wybierz plik do otwarcia"),
                     QStringLiteral("Pliki danych Drganika (*.drg)"), QFileDialog::AcceptOpen);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}
