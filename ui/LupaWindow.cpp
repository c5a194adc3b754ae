#include "LupaWindow.h"

#include "AtomicFile.h"
#include "Controls.h"
#include "CsvExport.h"
#include "DataFileDialogs.h"
#include "DataFileLoad.h"
#include "ErrorBox.h"
#include "LupaPlot.h"
#include "MessageBox.h"
#include "RangeTables.h"
#include "WindowPlacement.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QSize StartSize(900, 640);
// Live blocks are drawn at most 12.5 times a second, the last of a run always: a full-screen
// paint costs about a millisecond, more than a block may cost the GUI thread at 40 a second.
constexpr int MinRefreshMs = 80;

QToolButton* MenuButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(new QMenu(button));
    return button;
}

} // namespace

TLupaWindow::TLupaWindow(QWidget& w1, QWidget& w2, const TransformTables& tables, ErrorBox& errors)
    : w1_(w1), w2_(w2), errors_(errors), transform_(tables) {
    setObjectName("Lupa");
    setWindowTitle(QStringLiteral("Lupa"));
    setWindowFlags(Qt::Window);
    setFont(UiFont(12));
    BuildControls();
    resize(StartSize);
    AskExportName = [this](bool picture) {
        return AskSaveExportFile(this, folder_, picture ? ExportKind::Picture : ExportKind::Table);
    };
    AskReferenceName = [this] { return AskOpenDataFile(this, folder_); };
    late_.setSingleShot(true);
    connect(&late_, &QTimer::timeout, this, errors_.Guard([this] { Refresh(); }));
}

void TLupaWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* row = new QHBoxLayout;
    layout->addLayout(row);

    row->addWidget(new QLabel(QStringLiteral("Uśrednianie:"), this));
    averagingBox_ = new QSpinBox(this);
    averagingBox_->setObjectName("Averaging");
    averagingBox_->setRange(1, BlockAverage::MaxLength);
    averagingBox_->setSpecialValueText(QStringLiteral("wył."));
    averagingBox_->setSuffix(QStringLiteral(" bloków"));
    connect(averagingBox_, &QSpinBox::valueChanged, this, errors_.Guard([this](int n) { SetAveraging(n); }));
    row->addWidget(averagingBox_);

    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Widmo:"), this));
    scaleBox_ = new QComboBox(this);
    scaleBox_->setObjectName("DbScale");
    scaleBox_->addItems(
        {QStringLiteral("dBV (względem 1 V RMS)"), QStringLiteral("dB względem największego")});
    row->addWidget(scaleBox_);
    windowBox_ = new QComboBox(this);
    windowBox_->setObjectName("SpectrumWindow");
    windowBox_->addItems({QStringLiteral("okno jak w głównym"), QStringLiteral("okno Hanna"),
                          QStringLiteral("okno płaskie (amplituda)")});
    windowBox_->setCurrentIndex(int(window_));
    row->addWidget(windowBox_);
    const auto chosen = errors_.Guard([this] {
        SetSpectrumChoice(SpectrumWindow(windowBox_->currentIndex()), DbScale(scaleBox_->currentIndex()));
    });
    connect(scaleBox_, &QComboBox::currentIndexChanged, this, chosen);
    connect(windowBox_, &QComboBox::currentIndexChanged, this, chosen);

    row->addStretch();
    QToolButton* reference = MenuButton(this, "Reference", QStringLiteral("Wzorzec"));
    QMenu* menu = reference->menu();
    connect(menu->addAction(QStringLiteral("Weź pokazany blok")), &QAction::triggered, this,
            errors_.Guard([this] { TakeReference(); }));
    connect(menu->addAction(QStringLiteral("Wczytaj z pliku…")), &QAction::triggered, this,
            errors_.Guard([this] {
                const QString name = AskReferenceName();
                if (!name.isEmpty() && !LoadReference(name))
                    ShowFailure(QStringLiteral("Nie mogę otworzyc pliku!"));
            }));
    connect(menu->addAction(QStringLiteral("Usuń wzorzec")), &QAction::triggered, this,
            errors_.Guard([this] { SetReference(std::nullopt); }));
    row->addWidget(reference);
    QToolButton* exportButton = MenuButton(this, "Export", QStringLiteral("Eksport"));
    connect(exportButton->menu()->addAction(QStringLiteral("Obraz PNG…")), &QAction::triggered, this,
            errors_.Guard([this] { ExportPicture(); }));
    connect(exportButton->menu()->addAction(QStringLiteral("Tabela CSV (blok uśredniony)…")),
            &QAction::triggered, this, errors_.Guard([this] { ExportTable(); }));
    row->addWidget(exportButton);

    plot_ = new TLupaPlot(this);
    layout->addWidget(plot_, 1);
    setFocusProxy(plot_);
}

void TLupaWindow::Toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    if (!placed_) {
        // As wide as the room beside the pair allows, down to what its controls need.
        const QRect area = screen()->availableGeometry();
        const int frame = frameGeometry().width() - width();
        const int room = area.width() - w1_.frameGeometry().width() - w2_.frameGeometry().width() - frame;
        resize(std::clamp(room, minimumSizeHint().width(), StartSize.width()),
               std::clamp(area.height() - (frameGeometry().height() - height()), minimumSizeHint().height(),
                          StartSize.height()));
        PlaceBeside(*this, w1_, w2_, BesideEdge::Top);
        placed_ = true;
    }
    show();
    raise();
}

void TLupaWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!pending_)
        return;
    if (Averaging())
        average_.Add(last_, lastTaken_);
    Refresh();
}

// Blocks missed while hidden break the run: an average starts again.
void TLupaWindow::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    average_.Restart();
}

void TLupaWindow::ShowBlock(const SampleBuffer& samples, const BlockSettings& taken, bool live) {
    std::copy_n(samples.begin(), BlockSamples, last_.begin());
    lastTaken_ = taken;
    lastLive_ = live;
    pending_ = true;
    if (!isVisible())
        return;
    if (Averaging())
        average_.Add(last_, lastTaken_);
    else
        average_.Restart();
    if (!live)
        return Refresh(); // asked for by the user: at once
    if (late_.isActive())
        return; // the last block is drawn by the pending refresh
    const qint64 since = sinceRefresh_.isValid() ? sinceRefresh_.elapsed() : MinRefreshMs;
    if (since < MinRefreshMs)
        late_.start(int(MinRefreshMs - since));
    else
        Refresh();
}

bool TLupaWindow::Averaging() const {
    return averaging_ > 1 && lastLive_;
}

void TLupaWindow::Refresh() {
    if (!pending_ || !isVisible())
        return;
    pending_ = false;
    late_.stop();
    sinceRefresh_.start();
    ++refreshes_;
    const bool averaging = ShowsAverage();
    for (std::size_t i = 0; i < volts_.size(); ++i)
        volts_[i] = (averaging ? average_.At(int(i)) : last_[i]) * VoltsPerStep;
    const int timebase = std::clamp(lastTaken_.timebase, 0, int(TimebaseTable.size()) - 1);
    spectrum_ = transform_.Compute(volts_, SecondsPerSample(timebase), window_, scale_);
    plot_->SetBlock(volts_, timebase, lastTaken_.voltPosition);
    plot_->SetSpectrum(spectrum_, scale_);
    plot_->SetCaption(averaging
                          ? QStringLiteral("Średnia: %1 z %2 bloków").arg(average_.Reached()).arg(averaging_)
                      : lastLive_ ? QStringLiteral("Blok bieżący")
                                  : QStringLiteral("Blok zapisany"));
}

void TLupaWindow::SetAveraging(int length) {
    length = std::clamp(length, 1, BlockAverage::MaxLength);
    if (length == averaging_)
        return;
    averaging_ = length;
    average_.SetLength(std::max(length, BlockAverage::MinLength));
    average_.Restart();
    averagingBox_->setValue(length);
}

int TLupaWindow::AveragingLength() const {
    return averaging_;
}

bool TLupaWindow::ShowsAverage() const {
    return isVisible() && Averaging() && average_.Reached() > 0;
}

void TLupaWindow::SetSpectrumChoice(SpectrumWindow window, DbScale scale) {
    if (window == window_ && scale == scale_)
        return;
    window_ = window;
    scale_ = scale;
    const QSignalBlocker quietWindow(windowBox_),
        quietScale(scaleBox_); // each would report the other's old value
    windowBox_->setCurrentIndex(int(window));
    scaleBox_->setCurrentIndex(int(scale));
    const int timebase = std::clamp(lastTaken_.timebase, 0, int(TimebaseTable.size()) - 1);
    spectrum_ = transform_.Compute(volts_, SecondsPerSample(timebase), window_, scale_);
    plot_->SetSpectrum(spectrum_, scale_);
}

bool TLupaWindow::SetReference(const std::optional<ReferenceTrace>& reference) {
    if (reference && (reference->timebase < 0 || reference->timebase >= int(TimebaseTable.size())))
        return false; // no time scale to draw it on
    reference_ = reference;
    plot_->SetReference(reference_);
    return true;
}

void TLupaWindow::TakeReference() {
    ReferenceTrace r;
    // What is shown: while averaging, the average (to whole converter steps, as a data file has it).
    const SampleBuffer shown = ShowsAverage() ? average_.Rounded() : last_;
    std::copy_n(shown.begin(), BlockSamples, r.samples.begin());
    r.timebase = std::clamp(lastTaken_.timebase, 0, int(TimebaseTable.size()) - 1);
    r.voltPosition = lastTaken_.voltPosition;
    r.label = "blok z " + QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdString();
    SetReference(r);
}

bool TLupaWindow::LoadReference(const QString& path) {
    folder_ = QFileInfo(path).absolutePath();
    ReferenceTrace r;
    const DataFileRead read = LoadDataFile(QFile::encodeName(path).toStdString(), r.samples);
    if (!read.ok)
        return false;
    r.timebase = std::clamp(read.timebase, 0, int(TimebaseTable.size()) - 1); // as the T/dz knob takes it
    r.voltPosition = lastTaken_.voltPosition; // a data file does not record it
    r.label = QFileInfo(path).fileName().toStdString();
    return SetReference(r);
}

QImage TLupaWindow::Picture() const {
    return plot_->grab().toImage();
}

std::string TLupaWindow::Table() const {
    return FormatCsv(volts_, std::clamp(lastTaken_.timebase, 0, int(TimebaseTable.size()) - 1));
}

void TLupaWindow::ExportPicture() {
    Export(true);
}

void TLupaWindow::ExportTable() {
    Export(false);
}

void TLupaWindow::Export(bool picture) {
    const QString name = AskExportName(picture);
    if (name.isEmpty())
        return;
    folder_ = QFileInfo(name).absolutePath();
    std::string content;
    if (picture) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (Picture().save(&buffer, "PNG"))
            content = bytes.toStdString();
    } else {
        content = Table();
    }
    // Written beside the target and renamed over it only when complete: a failed save keeps the old file.
    if (content.empty() || !WriteFileAtomically(QFile::encodeName(name).toStdString(), content))
        ShowFailure(QStringLiteral("Nie mogę utworzyc pliku!"));
}

void TLupaWindow::ShowFailure(const QString& text) {
    ShowPlainMessage(this, QStringLiteral("Bląd!"), text);
}
