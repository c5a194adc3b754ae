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
    DataFileDialog(QWidget* parent, const QString& title, const QString& filter, AcceptMode mode,
                   const QString& folder, const QString& suffix = QStringLiteral("drg"))
        // Qt would start in the folder its last dialog visited: the current folder is asked for.
        : QFileDialog(parent, title, folder.isEmpty() ? QDir::currentPath() : folder, filter) {
        setOption(QFileDialog::DontUseNativeDialog);
        setAcceptMode(mode);
        setFileMode(mode == AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        setOption(QFileDialog::DontConfirmOverwrite, false);
        setDefaultSuffix(suffix);
        selectFile(QStringLiteral("*.") + suffix);
    }

    void accept() override {
        // A name typed without an extension takes the chosen kind's: "Obraz PNG (*.png)" gives "png".
        const QString filter = selectedNameFilter();
        setDefaultSuffix(filter.mid(filter.lastIndexOf(QLatin1String("*.")) + 2).chopped(1));
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

QString AskSaveDataFile(QWidget* parent, const QString& folder) {
    DataFileDialog d(parent, QStringLiteral("Podaj nazwę pliku do zapisu"),
                     QStringLiteral("Plik danych drganika (*.drg);;Plik CSV (*.csv);;Obraz PNG (*.png)"),
                     QFileDialog::AcceptSave, folder);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

QString AskOpenDataFile(QWidget* parent, const QString& folder) {
    DataFileDialog d(parent, QStringLiteral("Wybierz plik do otwarcia"),
                     QStringLiteral("Pliki danych Drganika (*.drg);;Nagrania Drganika (*.drgn)"),
                     QFileDialog::AcceptOpen, folder);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

QString AskSaveExportFile(QWidget* parent, const QString& folder, ExportKind kind) {
    const bool picture = kind == ExportKind::Picture;
    DataFileDialog d(parent, QStringLiteral("Podaj nazwę pliku do zapisu"),
                     picture ? QStringLiteral("Obraz PNG (*.png)") : QStringLiteral("Plik CSV (*.csv)"),
                     QFileDialog::AcceptSave, folder,
                     picture ? QStringLiteral("png") : QStringLiteral("csv"));
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}
