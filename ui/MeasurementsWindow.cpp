#include "MeasurementsWindow.h"

#include "Controls.h"
#include "Measurements.h"
#include "WindowPlacement.h"

#include <QLabel>
#include <QLocale>

namespace {

constexpr int MinUpdateMs = 100; // ten read-outs a second are all an eye can follow
constexpr int RowHeight = 18;

struct Row {
    const char* name; // object name of the value label
    const char* caption;
};
constexpr std::array<Row, 8> Rows{{{"Frequency", "Częstotliwość:"},
                                   {"Period", "Okres:"},
                                   {"Vpp", "Vpp:"},
                                   {"Vmin", "Vmin:"},
                                   {"Vmax", "Vmax:"},
                                   {"Mean", "Średnia:"},
                                   {"Rms", "RMS:"},
                                   {"Duty", "Wypełnienie:"}}};

} // namespace

TMeasurementsWindow::TMeasurementsWindow(QWidget& w1, QWidget& w2) : w1_(w1), w2_(w2) {
    setObjectName("Pomiary");
    setWindowTitle(QStringLiteral("Pomiary"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(136, 8 + int(Rows.size()) * RowHeight + 6); // fits beside the pair on 1024 pixels
    setFont(UiFont());
    for (size_t i = 0; i < Rows.size(); ++i) {
        const int top = 8 + int(i) * RowHeight;
        Place<QLabel>(this, "", 6, top, 76, RowHeight)->setText(QString::fromUtf8(Rows[i].caption));
        values_[i] = Place<QLabel>(this, Rows[i].name, 76, top, 54, RowHeight);
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[i]->setText(QStringLiteral("—"));
    }
    late_.setSingleShot(true);
    connect(&late_, &QTimer::timeout, this, [this] { Update(); });
}

QString TMeasurementsWindow::ReadingText(Reading which) const {
    return values_.at(size_t(which))->text();
}

void TMeasurementsWindow::Toggle() {
    if (isVisible()) {
        hide();
        return;
    }
    if (!placed_) {
        PlaceBeside(*this, w1_, w2_, BesideEdge::Top);
        placed_ = true;
    }
    show();
    raise();
}

void TMeasurementsWindow::ShowBlock(const SampleBuffer& samples, int timebase) {
    block_ = samples;
    timebase_ = timebase;
    pending_ = true;
    if (!isVisible() || late_.isActive())
        return; // measured when shown, or by the pending late update
    const qint64 since = sinceUpdate_.isValid() ? sinceUpdate_.elapsed() : MinUpdateMs;
    if (since < MinUpdateMs)
        late_.start(int(MinUpdateMs - since));
    else
        Update();
}

void TMeasurementsWindow::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Update();
}

void TMeasurementsWindow::Update() {
    if (!pending_ || !isVisible())
        return;
    pending_ = false;
    sinceUpdate_.start();
    ++updates_;
    const MeasurementTexts t = TextsOf(Measure(block_, timebase_), QLocale().decimalPoint().toStdString());
    const std::array<const std::string*, 8> texts{&t.Frequency, &t.Period, &t.Vpp, &t.Vmin,
                                                  &t.Vmax,      &t.Mean,   &t.Rms, &t.Duty};
    for (size_t i = 0; i < texts.size(); ++i)
        values_[i]->setText(QString::fromStdString(*texts[i]));
}
