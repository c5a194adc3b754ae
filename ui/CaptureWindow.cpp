#include "CaptureWindow.h"

#include "CaptureWindowRange.h"
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
#include <QTimer>
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
    setFixedSize(136, 202); // fits beside the pair on 1024 pixels, below "Pomiary"
    setFont(UiFont());
    singleShotButton_ = Place<QPushButton>(this, "Pojedynczy", 6, 6, 124, 24);
    singleShotButton_->setText(QStringLiteral("Pojedynczy (F4)"));
    recordButton_ = Place<QPushButton>(this, "Nagrywaj", 6, 34, 124, 24);
    recordButton_->setText(QStringLiteral("Nagrywaj"));
    recordButton_->setCheckable(true);
    historySlider_ = Place<QSlider>(this, "Historia", 6, 66, 124, 20);
    historySlider_->setOrientation(Qt::Horizontal);
    historySlider_->setPageStep(1);
    cancelOpeningButton_ = Place<QPushButton>(this, "Przerwij", 6, 62, 124, 24);
    cancelOpeningButton_->setText(QStringLiteral("Przerwij wczytywanie"));
    cancelOpeningButton_->hide();
    saveRangeButton_ = Place<QPushButton>(this, "ZapiszZakres", 6, 90, 124, 24);
    saveRangeButton_->setText(QStringLiteral("Zapisz zakres…"));
    positionLabel_ = Place<QLabel>(this, "Pozycja", 6, 116, 124, 30);
    positionLabel_->setWordWrap(true);
    statusLabel_ = Place<QLabel>(this, "Stan", 6, 148, 124, 50);
    statusLabel_->setWordWrap(true);
    statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The opening runs in its own thread; the window looks in on it only while it runs.
    openingPoll_ = new QTimer(this);
    openingPoll_->setInterval(100);

    connect(singleShotButton_, &QPushButton::clicked, this, errors_.Guard([this] { SingleShotClick(); }));
    connect(recordButton_, &QPushButton::clicked, this, errors_.Guard([this](bool on) { RecordClick(on); }));
    connect(historySlider_, &QSlider::valueChanged, this, errors_.Guard([this](int value) {
        if (!following_ && value >= 1)
            ShowHistoryBlock(std::size_t(value - 1));
    }));
    connect(saveRangeButton_, &QPushButton::clicked, this, errors_.Guard([this] { SaveRangeClick(); }));
    connect(cancelOpeningButton_, &QPushButton::clicked, this, errors_.Guard([this] { CancelOpening(); }));
    connect(openingPoll_, &QTimer::timeout, this, errors_.Guard([this] { PollOpening(); }));
    AskRecordingName = [this] { return AskRecordingFile(MessageParent(), folder_); };
    AskRangeName = [this] { return AskRangeFile(MessageParent(), folder_); };
    AskRange = [this](std::uint64_t size, std::uint64_t& from, std::uint64_t& to) {
        return AskBlockRange(MessageParent(), size, from, to);
    };
    ShowMessage = [this](const QString& text) {
        ShowPlainMessage(MessageParent(), QStringLiteral("Błąd!"), text);
    };
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

// A hidden window's boxes would open at the screen's corner: they stand over the pair instead.
QWidget* TCaptureWindow::MessageParent() {
    return isVisible() ? static_cast<QWidget*>(this) : &w2_;
}

void TCaptureWindow::SingleShotClick() {
    if (OnSingleShot)
        OnSingleShot();
}

void TCaptureWindow::RecordClick(bool on) {
    if (!on) {
        if (const RecordingWriter* w = capture_.Recording())
            SetStatus(QStringLiteral("Nagrano: %1, bloki: %2").arg(Megabytes(w->Bytes())).arg(w->Blocks()));
        capture_.StopRecording();
        return;
    }
    const QString name = AskRecordingName();
    std::string error;
    if (name.isEmpty() || !capture_.StartRecording(QFile::encodeName(name).toStdString(), error)) {
        recordButton_->setChecked(false);
        if (!error.empty())
            ShowMessage(QStringLiteral("Nie mogę nagrywać do pliku %1: %2.")
                            .arg(QDir::toNativeSeparators(name), QString::fromStdString(error)));
        return;
    }
    recordButton_->setChecked(true);
    SetStatus(QStringLiteral("Nagrywanie: %1").arg(Megabytes(capture_.Recording()->Bytes())));
}

void TCaptureWindow::StepBack() {
    if (shown_ > 0)
        ShowHistoryBlock(shown_ - 1);
}

void TCaptureWindow::StepForward() {
    ShowHistoryBlock(shown_ + 1);
}

void TCaptureWindow::ShowHistoryBlock(std::size_t index) {
    CapturedBlock block;
    if (index >= capture_.Size() || (CanStep && !CanStep())) {
        UpdatePosition(); // the slider goes back to what is shown
        return;
    }
    if (!capture_.Read(index, block)) {
        UpdatePosition();
        ShowMessage(
            QStringLiteral("Nagranie zmieniło się na dysku: nie mogę odczytać bloku %1.").arg(index + 1));
        return;
    }
    shown_ = index;
    shownTimeMs_ = block.timeMs;
    UpdatePosition();
    if (OnShowBlock)
        OnShowBlock(block);
}

bool TCaptureWindow::OpenRecording(const QString& name) {
    if (QFileInfo(name).suffix().toLower() != QLatin1String("drgn"))
        return false;
    if (CanStep && !CanStep()) {
        ShowMessage(QStringLiteral("Zatrzymaj pomiar, aby wczytać nagranie."));
        return true;
    }
    opening_ = name;
    capture_.StartLoading(QFile::encodeName(name).toStdString());
    ShowOpening(true);
    if (!isVisible())
        Toggle(); // where the progress shows and the opening can be cancelled
    return true;
}

void TCaptureWindow::CancelOpening() {
    capture_.CancelLoading();
    ShowOpening(false);
}

void TCaptureWindow::PollOpening() {
    if (!capture_.Loading()) {
        ShowOpening(false);
        return;
    }
    if (!capture_.LoadFinished()) {
        UpdatePosition();
        return;
    }
    if (CanStep && !CanStep()) { // started meanwhile: the live blocks are not hidden
        CancelOpening();
        ShowMessage(QStringLiteral("Zatrzymaj pomiar, aby wczytać nagranie."));
        return;
    }
    std::string error, note;
    const bool opened = capture_.FinishLoading(error, note);
    ShowOpening(false);
    if (!opened) {
        ShowMessage(QStringLiteral("Nie mogę wczytać nagrania %1: %2")
                        .arg(QDir::toNativeSeparators(opening_), QString::fromStdString(error)));
        return;
    }
    shown_ = 0;
    ShowHistoryBlock(0);
    if (!note.empty())
        ShowMessage(QString::fromStdString(note));
}

void TCaptureWindow::ShowOpening(bool opening) {
    opening ? openingPoll_->start() : openingPoll_->stop();
    cancelOpeningButton_->setVisible(opening);
    historySlider_->setVisible(!opening);
    UpdatePosition();
}

void TCaptureWindow::BlockTaken() {
    shown_ = capture_.Empty() ? 0 : capture_.Size() - 1;
    if (!capture_.history.Empty())
        shownTimeMs_ = capture_.history.At(shown_).timeMs;
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
    return positionLabel_->text();
}

QString TCaptureWindow::RecordingText() const {
    return statusLabel_->text();
}

bool TCaptureWindow::RecordingOn() const {
    return recordButton_->isChecked();
}

void TCaptureWindow::UpdatePosition() {
    if (capture_.Loading()) {
        positionLabel_->setText(
            QStringLiteral("Wczytywanie nagrania: %1%").arg(int(capture_.LoadProgress() * 100)));
        return;
    }
    const std::uint64_t size = capture_.Size();
    following_ = true;
    historySlider_->setEnabled(size > 1);
    saveRangeButton_->setEnabled(size > 0);
    historySlider_->setRange(size == 0 ? 0 : 1, int(std::min<std::uint64_t>(size, INT_MAX)));
    historySlider_->setValue(int(shown_ + 1));
    following_ = false;
    if (size == 0) {
        positionLabel_->setText(capture_.history.Capacity() == 0 ? QStringLiteral("Historia wyłączona")
                                                                 : QStringLiteral("Historia pusta"));
        return;
    }
    positionLabel_->setText(QStringLiteral("Blok %1/%2, %3")
                                .arg(shown_ + 1)
                                .arg(size)
                                .arg(QString::fromStdString(ClockText(shownTimeMs_))));
}

void TCaptureWindow::UpdateRecording() {
    const RecordingWriter* w = capture_.Recording();
    if (!w)
        return;
    if (!w->Failed() && stale_)
        return;
    const QString blocks = QString::number(w->Blocks());
    if (!w->Failed()) {
        SetStatus(QStringLiteral("Nagrywanie: %1, bloki: %2").arg(Megabytes(w->Bytes()), blocks));
        return;
    }
    // What was written stays readable: the file ends after its last whole block.
    SetStatus(QStringLiteral("Nagrywanie przerwane: %1. Zapisane bloki: %2 (%3).")
                  .arg(QString::fromStdString(w->Error()), blocks, Megabytes(w->Bytes())));
    capture_.StopRecording();
    recordButton_->setChecked(false);
}

// The whole text shows: the window grows downwards for a long one (a failed write's reason).
void TCaptureWindow::SetStatus(const QString& text) {
    statusLabel_->setText(text);
    const int height = std::max(50, statusLabel_->heightForWidth(statusLabel_->width()));
    if (height == statusLabel_->height())
        return;
    statusLabel_->resize(statusLabel_->width(), height);
    setFixedSize(width(), statusLabel_->y() + height + 4);
}
