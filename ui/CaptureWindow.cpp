#include "CaptureWindow.h"

#include "ClockText.h"
#include "Controls.h"
#include "ErrorBox.h"
#include "MessageBox.h"
#include "NumberText.h"
#include "WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <algorithm>
#include <climits>

namespace {

// "780kB" below a megabyte, then "1,2MB" (10^3 and 10^6 bytes, cut, not rounded up).
QString Megabytes(std::uint64_t bytes) {
    const std::string separator = QLocale().decimalPoint().toStdString();
    if (bytes < 1000000)
        return QString::fromStdString(NumberText(double(bytes / 1000), "kB", separator));
    return QString::fromStdString(NumberText(double(bytes / 100000) / 10.0, "MB", separator));
}

QString AskRecordingFile(QWidget* parent, QString& folder) {
    QFileDialog d(parent, QStringLiteral("Podaj nazwę pliku nagrania"),
                  folder.isEmpty() ? QDir::currentPath() : folder,
                  QStringLiteral("Nagrania Drganika (*.drgn)"));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("drgn"));
    if (d.exec() != QDialog::Accepted)
        return {};
    const QString name = d.selectedFiles().value(0);
    folder = QFileInfo(name).absolutePath();
    return name;
}

} // namespace

TCaptureWindow::TCaptureWindow(QWidget& w1, QWidget& w2, Capture& capture, ErrorBox& errors)
    : w1_(w1), w2_(w2), capture_(capture), errors_(errors) {
    setObjectName("Przechwytywanie");
    setWindowTitle(QStringLiteral("Przechwytywanie"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(136, 174); // fits beside the pair on 1024 pixels, below "Pomiary"
    setFont(UiFont());
    Pojedynczy = Place<QPushButton>(this, "Pojedynczy", 6, 6, 124, 24);
    Pojedynczy->setText(QStringLiteral("Pojedynczy (F4)"));
    Nagrywaj = Place<QPushButton>(this, "Nagrywaj", 6, 34, 124, 24);
    Nagrywaj->setText(QStringLiteral("Nagrywaj"));
    Nagrywaj->setCheckable(true);
    Historia = Place<QSlider>(this, "Historia", 6, 66, 124, 20);
    Historia->setOrientation(Qt::Horizontal);
    Historia->setPageStep(1);
    Pozycja = Place<QLabel>(this, "Pozycja", 6, 88, 124, 30);
    Pozycja->setWordWrap(true);
    Stan = Place<QLabel>(this, "Stan", 6, 120, 124, 50);
    Stan->setWordWrap(true);
    Stan->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(Pojedynczy, &QPushButton::clicked, this, errors_.Guard([this] { SingleShotClick(); }));
    connect(Nagrywaj, &QPushButton::clicked, this, errors_.Guard([this](bool on) { RecordClick(on); }));
    connect(Historia, &QSlider::valueChanged, this, errors_.Guard([this](int value) {
        if (!following_ && value >= 1)
            ShowHistoryBlock(std::size_t(value - 1));
    }));
    AskRecordingName = [this] { return AskRecordingFile(this, folder_); };
    ShowMessage = [this](const QString& text) { ShowPlainMessage(this, QStringLiteral("Błąd!"), text); };
    UpdatePosition();
}

void TCaptureWindow::Toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    show();         // first: the outer size counts the frame only once the window is shown
    if (!placed_) { // clear of "Pomiary", which is level with the pair's top
        PlaceBeside(*this, w1_, w2_, BesideEdge::Bottom);
        placed_ = true;
    }
    raise();
}

void TCaptureWindow::SingleShotClick() {
    if (OnSingleShot)
        OnSingleShot();
}

void TCaptureWindow::RecordClick(bool on) {
    if (!on) {
        if (const RecordingWriter* w = capture_.Recording())
            Stan->setText(
                QStringLiteral("Nagrano: %1, bloki: %2").arg(Megabytes(w->Bytes())).arg(w->Blocks()));
        capture_.StopRecording();
        return;
    }
    const QString name = AskRecordingName();
    std::string error;
    if (name.isEmpty() || !capture_.StartRecording(QFile::encodeName(name).toStdString(), error)) {
        Nagrywaj->setChecked(false);
        if (!error.empty())
            ShowMessage(QStringLiteral("Nie mogę nagrywać do pliku %1: %2.")
                            .arg(QDir::toNativeSeparators(name), QString::fromStdString(error)));
        return;
    }
    Nagrywaj->setChecked(true);
    Stan->setText(QStringLiteral("Nagrywanie: %1").arg(Megabytes(capture_.Recording()->Bytes())));
}

void TCaptureWindow::StepBack() {
    if (shown_ > 0)
        ShowHistoryBlock(shown_ - 1);
}

void TCaptureWindow::StepForward() {
    ShowHistoryBlock(shown_ + 1);
}

void TCaptureWindow::ShowHistoryBlock(std::size_t index) {
    if (index >= capture_.history.Size() || (CanStep && !CanStep())) {
        UpdatePosition(); // the slider goes back to what is shown
        return;
    }
    shown_ = index;
    UpdatePosition();
    if (OnShowBlock)
        OnShowBlock(capture_.history.At(index));
}

bool TCaptureWindow::OpenRecording(const QString& name) {
    if (QFileInfo(name).suffix().toLower() != QLatin1String("drgn"))
        return false;
    if (CanStep && !CanStep()) {
        ShowMessage(QStringLiteral("Zatrzymaj pomiar, aby wczytać nagranie."));
        return true;
    }
    std::string error, note;
    if (!capture_.LoadRecording(QFile::encodeName(name).toStdString(), error, note)) {
        ShowMessage(QStringLiteral("Nie mogę wczytać nagrania %1: %2")
                        .arg(QDir::toNativeSeparators(name), QString::fromStdString(error)));
        return true;
    }
    ShowHistoryBlock(0);
    if (!note.empty())
        ShowMessage(QString::fromStdString(note));
    return true;
}

void TCaptureWindow::BlockTaken() {
    shown_ = capture_.history.Empty() ? 0 : capture_.history.Size() - 1;
    // Hidden, the texts wait until the window shows: set at every block they cost about
    // as much as the block's spectrum. A failed recording is still told and ended at once.
    stale_ = !isVisible();
    if (!stale_)
        UpdatePosition();
    UpdateRecording();
}

void TCaptureWindow::showEvent(QShowEvent* e) {
    if (stale_) {
        stale_ = false;
        UpdatePosition();
        UpdateRecording();
    }
    QWidget::showEvent(e);
}

QString TCaptureWindow::PositionText() const {
    return Pozycja->text();
}

QString TCaptureWindow::RecordingText() const {
    return Stan->text();
}

bool TCaptureWindow::RecordingOn() const {
    return Nagrywaj->isChecked();
}

void TCaptureWindow::UpdatePosition() {
    const History& h = capture_.history;
    following_ = true;
    Historia->setEnabled(h.Size() > 1);
    Historia->setRange(h.Empty() ? 0 : 1, int(std::min<std::size_t>(h.Size(), INT_MAX)));
    Historia->setValue(int(shown_ + 1));
    following_ = false;
    if (h.Empty()) {
        Pozycja->setText(h.Capacity() == 0 ? QStringLiteral("Historia wyłączona")
                                           : QStringLiteral("Historia pusta"));
        return;
    }
    Pozycja->setText(QStringLiteral("Blok %1/%2, %3")
                         .arg(shown_ + 1)
                         .arg(h.Size())
                         .arg(QString::fromStdString(ClockText(h.At(shown_).timeMs))));
}

void TCaptureWindow::UpdateRecording() {
    const RecordingWriter* w = capture_.Recording();
    if (!w)
        return;
    if (!w->Failed() && stale_)
        return;
    const QString blocks = QString::number(w->Blocks());
    if (!w->Failed()) {
        Stan->setText(QStringLiteral("Nagrywanie: %1, bloki: %2").arg(Megabytes(w->Bytes()), blocks));
        return;
    }
    // What was written stays readable: the file ends after its last whole block.
    Stan->setText(QStringLiteral("Nagrywanie przerwane: %1. Zapisane bloki: %2 (%3).")
                      .arg(QString::fromStdString(w->Error()), blocks, Megabytes(w->Bytes())));
    capture_.StopRecording();
    Nagrywaj->setChecked(false);
}
