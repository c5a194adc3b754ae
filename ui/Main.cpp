#include "Main.h"

#include "ErrorBox.h"
#include "MarkerPictures.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "TraceDrawing.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, QRect place, const QString& text, Qt::Alignment align,
                  const QFont& font) {
    auto* l = Place<QLabel>(parent, name, place.x(), place.y(), place.width(), place.height());
    l->setText(text);
    l->setAlignment(align);
    l->setFont(font);
    return l;
}

} // namespace

TW1::TW1(ProgramState& state, ErrorBox& errors) : QWidget(nullptr), state_(state), errors_(errors) {
    setObjectName("W1");
    setWindowTitle(QStringLiteral("Zentak Drganik PRX7 ver.1.1"));
    // Single border, no caption buttons: the program ends from the tool window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(578, 519);
    setFont(UiFont());
    Client.BrushColor = palette().color(QPalette::Button);
    Client.Fill();
    BuildLayout();
    FormCreate();
}

void TW1::FormCreate() {
    // Scheduling priority of the GUI thread is left as the system gives it.
    state_.trigger.TriggerLevel = 1;
    state_.acq.SeenTriggerLevel = 1;
    state_.acq.SeenTimebase = 0;
    state_.trigger.TriggerEdge = 0;
    state_.volt.FullScaleVolts = 10;
    state_.volt.MvPerRow = 40;
    UpdateVoltLabels();
    UpdateAxisLabels(0);

    TraceOverlay.Fill();
    SpectrumOverlay.Fill();
    LoadSwitchPictures(); // a failure is reported; the rest of start-up still runs

    state_.acq.SlowMode = false;
    state_.time.TimePerPixel = 0.004;
    state_.volt.VoltsPerRow = 0.04;
    state_.acq.RxLength = 0;
    state_.samples.fill(0);
    state_.time.TimeUnit = "ms";
    state_.acq.DataArrived = false;
    state_.trigger.LevelLow = 1;
    state_.trigger.LevelHigh = 0;
    state_.trigger.TriggerLevelTens = 1;
}

void TW1::UpdateVoltLabels() {
    const auto texts = VoltLabelTexts(state_.volt.FullScaleVolts, QLocale().decimalPoint().toStdString());
    for (size_t i = 0; i < V.size(); ++i)
        V[i]->setText(QString::fromStdString(texts[i]));
}

void TW1::LoadSwitchPictures() {
    // Looked up in the current directory first, then beside the program, then where an
    // installation puts them (<prefix>/share/drganik/data beside <prefix>/bin).
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders = {QStringLiteral("data/"), programDir + QStringLiteral("/data/"),
                                 programDir + QStringLiteral("/../share/drganik/data/")};
    QStringList failures;
    for (int i = 0; i < 3; ++i) {
        const QString name = QStringLiteral("p%1.bmp").arg(i);
        QString path = folders.front() + name;
        for (const QString& folder : folders)
            if (QFileInfo::exists(folder + name)) {
                path = folder + name;
                break;
            }
        QImageReader reader(path);
        SwitchPictures[size_t(i)] = reader.read();
        if (SwitchPictures[size_t(i)].isNull())
            failures << QStringLiteral("%1: %2").arg(reader.fileName(), reader.errorString());
    }
    if (!failures.isEmpty())
        errors_.Show(failures.join('\n'));
}

void TW1::BuildLayout() {
    auto* bevel5 = Place<TSmoothBevel>(this, "SmoothBevel5", 29, 18, 502, 12);
    bevel5->setLineWidth(1);
    Place<TSmoothBevel>(this, "SmoothBevel4", 0, 320, 577, 180)->SetRaised(true);
    Place<TSmoothBevel>(this, "SmoothBevel3", 0, 0, 580, 320)->SetRaised(true);
    Label1 = MakeLabel(this, "Label1", {32, 4, 497, 17}, QStringLiteral("Przebieg czasowy"), Qt::AlignHCenter,
                       UiFont(11, true));

    const QFont scale = SerifFont(9);
    for (int i = 0; i < 11; ++i) {
        const QByteArray name = "V" + QByteArray::number(i + 1);
        V[size_t(i)] = MakeLabel(this, name.constData(), {0, 32 + 24 * i, 20, 9}, QString(),
                                 Qt::AlignRight | Qt::AlignBottom, scale);
    }
    Place<TSmoothBevel>(this, "SmoothBevel1", 29, 29, 502, 252);
    T[0] = MakeLabel(this, "t1", {30, 288, 30, 11}, QStringLiteral("0ms"), Qt::AlignLeft, scale);
    T[0]->adjustSize();
    for (int i = 1; i < 5; ++i) {
        const QByteArray name = "t" + QByteArray::number(i + 1);
        T[size_t(i)] = MakeLabel(this, name.constData(), {140 + 124 * (i - 1), 288, 30, 11}, QString(),
                                 Qt::AlignHCenter, scale);
    }
    Place<TSmoothBevel>(this, "SmoothBevel2", 29, 345, 502, 127);
    MakeLabel(this, "Label2", {32, 328, 497, 13}, QStringLiteral("Analiza częstotliwości"), Qt::AlignHCenter,
              UiFont(11, true));
    const char* percents[] = {"100%", "66%", "33%", "0%"};
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = "Label" + QByteArray::number(i + 3);
        MakeLabel(this, name.constData(), {0, 344 + 40 * i, 22, 11}, QString::fromLatin1(percents[i]),
                  Qt::AlignRight, scale);
    }
    Image2 = Place<TMouseArea>(this, "Image2", 30, 30, 500, 250);
    Image2->setCursor(Qt::CrossCursor); // the mouse area covers the view's bevel
    Image2->OnMouseMove = [this](ShiftState s, int x, int y) {
        errors_.Run([&] { Image2MouseMove(s, x, y); });
    };
    Image2->OnMouseDown = [this](ShiftState s, int x, int y) {
        errors_.Run([&] { Image2MouseDown(s, x, y); });
    };
    const int frequencyLefts[] = {14, 134, 262, 390, 510};
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "F" + QByteArray::number(i + 1);
        F[size_t(i)] = MakeLabel(this, name.constData(), {frequencyLefts[i], 480, 40, 13}, QString(),
                                 Qt::AlignHCenter, scale);
    }
    auto* track = Place<QWidget>(this, "Track", 29, 18, 502, 12);
    track->setCursor(Qt::PointingHandCursor);
    track->setToolTip(QStringLiteral("Lewy klawisz myszy ustawia znacznik A, prawy znacznik B."));

    // Marker items: hidden until the marker buttons show them; clicks pass through to Image2.
    const auto item = [](auto* w, const QImage& picture) {
        w->SetPicture(picture);
        w->setEnabled(false);
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->hide();
        return w;
    };
    ZnA = item(Place<TImage>(this, "ZnA", 25, 18, 10, 284), MarkerLinePicture(MarkerAColor));
    ZnB = item(Place<TImage>(this, "ZnB", 25, 18, 10, 284), MarkerLinePicture(MarkerBColor));
    ZnAY = item(Place<TImage>(this, "ZnAY", 30, 279, 508, 3), MarkerLevelPicture(MarkerAColor));
    ZnBY = item(Place<TImage>(this, "ZnBY", 30, 279, 508, 3), MarkerLevelPicture(MarkerBColor));
    LOdlX = Place<TShapeControl>(this, "LOdlX", 30, 301, 1, 1);
    LOdlY = Place<TShapeControl>(this, "LOdlY", 537, 280, 1, 1);
    LabelLodlX =
        MakeLabel(this, "LabelLodlX", {40, 304, 40, 13}, QStringLiteral("0"), Qt::AlignHCenter, scale);
    LabelLodlY = MakeLabel(this, "LabelLodlY", {542, 272, 33, 13}, QStringLiteral("0"), Qt::AlignLeft, scale);
    for (QWidget* w : std::initializer_list<QWidget*>{LOdlX, LOdlY, LabelLodlX, LabelLodlY}) {
        w->setAttribute(Qt::WA_TransparentForMouseEvents);
        w->hide();
    }
    TriggerLine = Place<TImage>(this, "Image1", 29, 277, 500, 1);
    TriggerLine->SetPicture(TriggerLinePicture());
    TriggerLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    TriggerLine->hide();

    const auto centre = Qt::AlignHCenter;
    StatusBar1 = new TStatusBar(this, {{30, "V/dz:", centre, false},
                                       {30, "1V", centre, true},
                                       {30, "T/dz:", centre, false},
                                       {40, "0,1ms", centre, true},
                                       {40, "OFF", centre, true},
                                       {40, "Poziom:", Qt::AlignLeft, false},
                                       {50, "10mV", centre, true},
                                       {45, "Status:", Qt::AlignLeft, false},
                                       {110, "", Qt::AlignLeft, true},
                                       {40, "Com1", centre, true},
                                       {50, "drg.example", centre, false}});
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setGeometry(0, 500, 578, 19);
    ProgressBar1 = Place<QProgressBar>(this, "ProgressBar1", 304, 502, 110, 16);
    ProgressBar1->setRange(1, 1000);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->reset();
}

void TW1::UpdateAxisLabels(int position) {
    const auto& row = TimebaseTable[size_t(position)];
    for (size_t i = 0; i < 4; ++i)
        T[i + 1]->setText(QString::fromUtf8(row.T[i]));
    for (size_t i = 0; i < 5; ++i)
        F[i]->setText(QString::fromUtf8(row.F[i]));
}

void TW1::FormPaint() {
    Client.CopyRect(SpectrumViewRect, SpectrumBackground.Image());
    Client.DrawTransparent(SpectrumViewRect.topLeft(), SpectrumOverlay.Image());
    Client.CopyRect(TimeViewRect, TimeBackground.Image());
    Client.PenColor = ColorFromBgr(state_.settings.PC);
    Client.PenWidth = state_.settings.LW;
    if (state_.acq.SlowMode) {
        ::DrawProgressiveTrace(Client, state_.samples, state_.acq.RxLength, Rounding::Nearest,
                               state_.volt.MvPerRow);
    } else {
        // The overlay keeps the pen the last block or opened file gave it.
        DrawTrace(TraceOverlay, state_.samples, Rounding::Nearest, state_.volt.MvPerRow);
        Client.DrawTransparent(ViewOrigin, TraceOverlay.Image());
        TraceOverlay.Fill();
    }
    DrawTickMarks(Client, state_.settings.LW);
}

void TW1::RepaintNow() {
    FormPaint();
    repaint();
}

void TW1::EraseTimeView() {
    Client.CopyRect(TimeViewRect, TimeBackground.Image());
}

void TW1::SetFastTracePen() {
    TraceOverlay.PenWidth = state_.settings.LW;
    TraceOverlay.PenColor = ColorFromBgr(state_.settings.PC);
}

void TW1::DrawFastTrace() {
    DrawTrace(TraceOverlay, state_.samples, Rounding::Truncate, state_.volt.MvPerRow);
    TraceOverlay.MoveTo(0, 249);
}

void TW1::DrawFileTrace() {
    DrawTrace(TraceOverlay, state_.samples, Rounding::Nearest, state_.volt.MvPerRow);
}

void TW1::ShowFastTrace() {
    EraseTimeView();
    Client.DrawTransparent(ViewOrigin, TraceOverlay.Image());
    TraceOverlay.Fill();
    update(TimeViewRect);
}

void TW1::BeginProgressiveBlock() {
    EraseTimeView();
    update(TimeViewRect);
}

void TW1::DrawProgressiveTrace() {
    Client.PenColor = ColorFromBgr(state_.settings.PC);
    Client.PenWidth = state_.settings.LW;
    ::DrawProgressiveTrace(Client, state_.samples, state_.acq.RxLength, Rounding::Truncate,
                           state_.volt.MvPerRow);
    Client.MoveTo(30, 279);
    update(TimeViewRect);
}

void TW1::DrawSpectrum() {
    DrawSpectrumOverlay(SpectrumOverlay, state_.spectrum, state_.volt.SpectrumDivisor, state_.settings.FW);
    Client.CopyRect(SpectrumViewRect, SpectrumBackground.Image());
    Client.DrawTransparent(SpectrumViewRect.topLeft(), SpectrumOverlay.Image());
    update(SpectrumViewRect);
}

void TW1::ShowProgress(int rxCount) {
    // The bar's range is 1..1000: smaller counts show it empty.
    if (rxCount < ProgressBar1->minimum()) {
        if (ProgressBar1->value() >= ProgressBar1->minimum()) // reset() repaints even when already empty
            ProgressBar1->reset();
    } else {
        ProgressBar1->setValue(std::min(rxCount, ProgressBar1->maximum()));
    }
}

void TW1::SetRecoveryCaption(bool red) {
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    Label1->setPalette(pal);
    Label1->repaint();
}

void TW1::PlaceTriggerLine() {
    const int row = std::min(state_.trigger.TriggerLevelTens * 10 / state_.volt.MvPerRow, 249);
    TriggerLine->move(29, 30 + 249 - row);
    TriggerLine->repaint();
}

void TW1::ApplyTimebaseDisplay(int position) {
    const auto& row = TimebaseTable[size_t(position)];
    EraseTimeView();
    state_.time.TimePerPixel = row.TimePerPixelMs;
    StatusBar1->SetPanelText(3, QString::fromUtf8(row.Text));
    if (position < 6) {
        state_.time.TimeUnit = "ms";
    } else {
        state_.time.TimeUnit = "s";
        state_.time.TimePerPixel = state_.time.TimePerPixel / 1000;
    }
    UpdateAxisLabels(position);
    RepaintNow(); // still in the mode of the previous time base
}

void TW1::paintEvent(QPaintEvent*) {
    // On a high-density screen each pixel becomes a block of device pixels: no smoothing, crisp.
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(QPoint(0, 0), Client.Image().size()), Client.Image());
}

void TW1::closeEvent(QCloseEvent* e) {
    e->accept();
    if (OnFormClose)
        errors_.Run(OnFormClose);
}
