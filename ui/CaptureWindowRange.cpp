#include "CaptureWindowRange.h"

#include "BlockExport.h"
#include "CaptureWindow.h"
#include "RecordingWriter.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>
#include <algorithm>
#include <climits>

QString AskRangeFile(QWidget* parent, QString& folder) {
    QFileDialog d(parent, QStringLiteral("Podaj nazwę pliku zakresu"),
                  folder.isEmpty() ? QDir::currentPath() : folder,
                  QStringLiteral("Plik CSV (*.csv);;Nagrania Drganika (*.drgn)"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("csv"));
    // The chosen kind's extension for a name typed without one, as the data-file dialog does.
    QObject::connect(&d, &QFileDialog::filterSelected, &d, [&d](const QString& filter) {
        d.setDefaultSuffix(filter.mid(filter.lastIndexOf(QLatin1String("*.")) + 2).chopped(1));
    });
    if (d.exec() != QDialog::Accepted)
        return {};
    const QString name = d.selectedFiles().value(0);
    folder = QFileInfo(name).absolutePath();
    return name;
}

bool AskBlockRange(QWidget* parent, std::uint64_t size, std::uint64_t& from, std::uint64_t& to) {
    QDialog d(parent);
    d.setWindowTitle(QStringLiteral("Zapisz zakres"));
    auto* form = new QFormLayout(&d);
    const int last = int(std::min<std::uint64_t>(size, INT_MAX));
    auto* first = new QSpinBox(&d);
    first->setObjectName("Od");
    first->setRange(1, last);
    first->setValue(1);
    auto* final = new QSpinBox(&d);
    final->setObjectName("Do");
    final->setRange(1, last);
    final->setValue(last);
    form->addRow(QStringLiteral("Od bloku:"), first);
    form->addRow(QStringLiteral("Do bloku:"), final);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    if (d.exec() != QDialog::Accepted)
        return false;
    from = std::uint64_t(std::min(first->value(), final->value()));
    to = std::uint64_t(std::max(first->value(), final->value()));
    return true;
}

void TCaptureWindow::SaveRangeClick() {
    if (CanStep && !CanStep()) {
        ShowMessage(QStringLiteral("Zatrzymaj pomiar, aby zapisać zakres."));
        return;
    }
    if (capture_.Empty())
        return;
    std::uint64_t from = 1, to = capture_.Size();
    if (!AskRange(capture_.Size(), from, to))
        return;
    if (const QString name = AskRangeName(); !name.isEmpty())
        SaveRange(from, to, name);
}

bool TCaptureWindow::SaveRange(std::uint64_t from, std::uint64_t to, const QString& name) {
    const auto fail = [&](const QString& why) {
        ShowMessage(
            QStringLiteral("Nie mogę zapisać pliku %1: %2.").arg(QDir::toNativeSeparators(name), why));
        return false;
    };
    const std::string path = QFile::encodeName(name).toStdString();
    const auto format = ExportFormatOf(path);
    if (format != ExportFormat::Samples && format != ExportFormat::Recording)
        return fail(QStringLiteral("zapisuję tylko pliki .csv i .drgn"));
    int error = 0;
    const auto out = BlockExport::Create(path, *format, error);
    if (!out)
        return fail(QString::fromStdString(WriteErrorText(error)));
    // A long recording takes a while; its blocks are read one at a time, so memory stays flat.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CapturedBlock block;
    bool written = true;
    std::uint64_t i = from;
    for (; i <= to && i <= capture_.Size() && written; ++i)
        written = capture_.Read(i - 1, block) && out->Append(i, block);
    QApplication::restoreOverrideCursor();
    if (!written)
        return fail(out->Error() != 0
                        ? QString::fromStdString(WriteErrorText(out->Error()))
                        : QStringLiteral("nagranie zmieniło się na dysku przy bloku %1").arg(i - 1));
    SetStatus(QStringLiteral("Zapisano bloki %1–%2").arg(from).arg(to));
    return true;
}
