#include "Main.h"

#include "ErrorBox.h"
#include "ProgramState.h"
#include "Protocol.h"
#include "RangeTables.h"
#include "ScaleGeometry.h"
#include "SettingsLocation.h"
#include "TraceDrawing.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>
#include <algorithm>

TW1::TW1(ProgramState& state, ErrorBox& errors) : QWidget(nullptr), state_(state), errors_(errors) {
    setObjectName("W1");
    setWindowTitle(QStringLiteral("Zentak Drganik PRX7 ver.1.1"));
    // Single border, no caption buttons: the program ends from the tool window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(screen::ClientWidth, screen::ClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent); // paintEvent shows the canvas over the whole window
    setFont(UiFont());
    Canvas& kept = composer_.KeptPictureToDrawOver();
    kept.BrushColor = palette().color(QPalette::Button);
    kept.Fill();
    BuildLayout();
    FormCreate();
}

// The start values of the views are the program state's own, given where it is made.
void TW1::FormCreate() {
    // Scheduling priority of the GUI thread is left as the system gives it.
    UpdateVoltLabels();
    UpdateAxisLabels(0);

    LoadSwitchPictures(); // a failure is reported; the rest of start-up still runs
}

void TW1::UpdateVoltLabels() {
    const auto texts =
        VoltLabelTexts(state_.volt.FullScaleVolts, QLocale().decimalPoint().toStdString(), state_.positionMv);
    const QFont scale = SerifFont(9);
    for (size_t i = 0; i < V.size(); ++i) {
        const QString text = QString::fromStdString(texts[i]);
        V[i]->setText(text);
        // A moved view's labels may be longer ("2,488V"): smaller rather than cut.
        const bool fits = QFontMetrics(scale).horizontalAdvance(text) <= V[i]->width();
        V[i]->setFont(fits ? scale : FittingFont(scale, text, V[i]->width()));
    }
}

void TW1::LoadSwitchPictures() {
    QStringList folders;
    for (const std::string& folder : DataFolders(QCoreApplication::applicationDirPath().toStdString()))
        folders << QString::fromStdString(folder);
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

void TW1::UpdateAxisLabels(int position) {
    labelledTimebase_ = position;
    const AxisLabels labels = AxisLabelTexts(position);
    for (size_t i = 1; i < 5; ++i)
        T[i]->setText(QString::fromStdString(labels.time[i]));
    for (size_t i = 0; i < 5; ++i)
        F[i]->setText(QString::fromStdString(labels.frequency[i]));
}

void TW1::FormPaint() {
    composer_.RedrawSpectrumView();
    if (state_.acq.SlowMode) {
        composer_.EraseTimeView();
        Canvas& kept = composer_.KeptPictureToDrawOver();
        kept.PenColor = ColorFromBgr(state_.settings.PC);
        kept.PenWidth = state_.settings.LW;
        // A block from a file, the history or a recording is whole, whatever came over the line.
        ::DrawProgressiveTrace(kept, state_.samples,
                               storedBlockShown_ ? protocol::BlockBytes : state_.acq.RxLength,
                               Rounding::Nearest, state_.volt.MvPerRow, state_.positionMv);
    } else {
        composer_.RedrawTimeView(state_.samples, state_.volt.MvPerRow, state_.positionMv);
    }
    DrawTickMarks(composer_.KeptPictureToDrawOver(), state_.settings.LW);
    ShowOutOfView();
}

void TW1::RepaintNow() {
    FormPaint();
    repaint();
}

QImage TW1::ShownPicture() {
    const qreal ratio = devicePixelRatioF();
    QImage shot(size() * ratio, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    render(&shot);
    shot.setDevicePixelRatio(1); // a file has no density: its pixels are the screen's
    return shot;
}

void TW1::SetFastTracePen() {
    composer_.SetTracePen(ColorFromBgr(state_.settings.PC), state_.settings.LW);
}

void TW1::DrawFastTrace() {
    blockOnScreen_ = true;
    composer_.ChooseTraceRounding(Rounding::Truncate);
}

void TW1::DrawFileTrace() {
    storedBlockShown_ = true;
    blockOnScreen_ = true;
    composer_.ChooseTraceRounding(Rounding::Nearest);
}

void TW1::BeginProgressiveBlock() {
    storedBlockShown_ = false;
    blockOnScreen_ = true;
    composer_.EraseTimeView();
    progressiveEnd_ = ViewOrigin.x();
    update(TimeViewRect);
}

void TW1::DrawProgressiveTrace() {
    Canvas& kept = composer_.KeptPictureToDrawOver();
    kept.PenColor = ColorFromBgr(state_.settings.PC);
    kept.PenWidth = state_.settings.LW;
    ::DrawProgressiveTrace(kept, state_.samples, state_.acq.RxLength, Rounding::Truncate,
                           state_.volt.MvPerRow, state_.positionMv);
    kept.MoveTo(screen::ColumnX(0), screen::RowY(0));
    // Only the columns the new samples reached, pen included: a whole view each tick costs
    // as much as a fast block, about forty times a block.
    ShowOutOfView();
    const int end = ViewOrigin.x() + std::max(0, state_.acq.RxLength / 2 - 1);
    const int from = end >= progressiveEnd_ ? progressiveEnd_ : ViewOrigin.x();
    progressiveEnd_ = end;
    const int pen = state_.settings.LW + 1;
    update(QRect(QPoint(from - pen, TimeViewRect.top()), QPoint(end + pen, TimeViewRect.bottom())) &
           TimeViewRect);
}

void TW1::ShowProgress(int rxCount) {
    ProgressBar1->SetPosition(rxCount); // range 1..1000: smaller counts show it empty
}

void TW1::SetWaitingForTrigger(bool waiting) {
    waitingForTrigger_ = waiting;
    ShowLinkNote();
}

bool TW1::WaitingForTrigger() const {
    return waitingForTrigger_ && !deviceMissing_;
}

void TW1::SetDeviceMissing(bool missing) {
    deviceMissing_ = missing;
    ShowLinkNote();
}

// The quiet note over the reception bar: the device missing, else a trigger awaited, else none.
void TW1::ShowLinkNote() {
    const QString text =
        deviceMissing_ ? QStringLiteral("Brak urządzenia") : QStringLiteral("Czekam na wyzwolenie…");
    if (WaitingNote->text() != text) {
        WaitingNote->setText(text);
        // As small as it takes to fit the box, so that no letter is cut at either end.
        WaitingNote->setFont(FittingFont(UiFont(10), text, WaitingNote->width() - 4));
    }
    const bool shown = deviceMissing_ || waitingForTrigger_;
    if (WaitingNote->isVisibleTo(this) != shown)
        WaitingNote->setVisible(shown);
}

void TW1::BlockComplete(int timebase) {
    if (OnLiveBlock)
        OnLiveBlock(timebase);
    BlockShown(timebase);
}

void TW1::ShowNote(const QString& text) {
    Note->setText(text);
    Note->adjustSize();
    Note->show();
    noteTimer_->start();
}

QString TW1::NoteText() const {
    return Note->isVisibleTo(this) ? Note->text() : QString();
}

void TW1::BlockShown(int timebase) {
    shownBlockTimebase_ = timebase;
    if (OnBlockShown)
        OnBlockShown(timebase);
}

void TW1::SetRecoveryCaption(bool red) {
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    Label1->setPalette(pal);
    Label1->repaint();
}

void TW1::PlaceTriggerLine() {
    TriggerLine->move(screen::TickRight, TriggerLineTop(state_.trigger.TriggerLevelTens, state_.volt.MvPerRow,
                                                        state_.positionMv));
    TriggerLine->repaint();
}

void TW1::ShowTriggerLine(bool visible) {
    TriggerLine->setVisible(visible);
}

void TW1::SetStatusText(StatusPanel panel, const QString& text) {
    StatusBar1->SetPanelText(int(panel), text);
}

void TW1::SetStatusHint(StatusPanel panel, const QString& hint) {
    StatusBar1->SetPanelHint(int(panel), hint);
}

void TW1::SetSpectrumColor(QColor color) {
    spectrumPen_ = color;
}

void TW1::SetTimeBackground(const QImage& picture) {
    composer_.SetTimeBackground(picture);
}

void TW1::SetSpectrumBackground(const QImage& picture) {
    composer_.SetSpectrumBackground(picture);
}

void TW1::ApplyTimebaseDisplay(int position) {
    composer_.EraseTimeView();
    state_.time = TimeBaseAt(position);
    SetStatusText(StatusPanel::TimeBase, QString::fromUtf8(TimebaseTable[size_t(position)].Text));
    UpdateAxisLabels(position);
    RepaintNow(); // still in the mode of the previous time base
}

void TW1::closeEvent(QCloseEvent* e) {
    e->accept();
    if (OnFormClose)
        errors_.Run(OnFormClose);
}
