// The main window's markers, the pointer read-out and the volt range change.

#include "Main.h"
#include "Markers.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "ViewPosition.h"

#include <QLocale>
#include <QMouseEvent>

namespace {

std::string Separator() {
    return QLocale().decimalPoint().toStdString();
}

ShiftState ShiftOf(const QMouseEvent* e, bool doubleClick) {
    return {e->buttons(), e->modifiers(), doubleClick};
}

} // namespace

TMouseArea::TMouseArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void TMouseArea::mouseMoveEvent(QMouseEvent* e) {
    if (OnMouseMove)
        OnMouseMove(ShiftOf(e, false), e->position().toPoint().x(), e->position().toPoint().y());
}

void TMouseArea::mousePressEvent(QMouseEvent* e) {
    if (OnMouseDown)
        OnMouseDown(ShiftOf(e, false), e->position().toPoint().x(), e->position().toPoint().y());
}

void TMouseArea::mouseReleaseEvent(QMouseEvent*) {
    if (OnMouseUp)
        OnMouseUp();
}

void TMouseArea::wheelEvent(QWheelEvent* e) {
    if (!OnWheel)
        return e->ignore();
    wheelRest_ += e->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0)
        OnWheel(e->modifiers(), notches);
}

void TMouseArea::mouseDoubleClickEvent(QMouseEvent* e) {
    if (OnMouseDown)
        OnMouseDown(ShiftOf(e, true), e->position().toPoint().x(), e->position().toPoint().y());
}

void TW1::Image2MouseMove(ShiftState shift, int x, int y) {
    Image2MouseDown(shift, std::clamp(x, 0, screen::Columns), y);
}

void TW1::Image2MouseDown(ShiftState shift, int x, int y) {
    PointerReadout(x, y);
    if (shift.Only(Qt::LeftButton))
        PlaceMarkerItems(0, x);
    if (shift.Only(Qt::RightButton))
        PlaceMarkerItems(1, x);
}

void TW1::PointerReadout(int x, int y) {
    if (OnPointerReadout)
        OnPointerReadout(
            QString::fromStdString(PointerTimeText(x, state_.time, Separator())),
            QString::fromStdString(PointerVoltText(y, state_.volt, Separator(), state_.positionMv)));
}

void TW1::PlaceMarkerItems(int which, int x) {
    const Marker marker = which == 0 ? Marker::A : Marker::B;
    const MarkerItems items = PlaceMarker(state_.markers, marker, x, state_.samples, state_.volt, state_.time,
                                          Separator(), state_.positionMv);
    (marker == Marker::A ? ZnA : ZnB)->move(items.markerLeft, screen::MarkerTrack.top);
    LabelLodlY->setText(QString::fromStdString(items.labelYText));
    LOdlX->setGeometry(items.barXLeft, LOdlX->y(), items.barXWidth, LOdlX->height());
    LOdlY->setGeometry(LOdlY->x(), items.barYTop, LOdlY->width(), items.barYHeight);
    LabelLodlX->move(items.labelXLeft, LabelLodlX->y());
    LabelLodlX->setText(QString::fromStdString(items.labelXText));
    LabelLodlY->move(LabelLodlY->x(), items.labelYTop);
    (marker == Marker::A ? ZnAY : ZnBY)->move(screen::ViewOrigin.x, items.levelTop);
}

void TW1::ShowMarkerItems(bool visible) {
    for (QWidget* w :
         {static_cast<QWidget*>(ZnA), static_cast<QWidget*>(ZnAY), static_cast<QWidget*>(LOdlX),
          static_cast<QWidget*>(LOdlY), static_cast<QWidget*>(LabelLodlX), static_cast<QWidget*>(LabelLodlY),
          static_cast<QWidget*>(ZnB), static_cast<QWidget*>(ZnBY)})
        w->setVisible(visible);
}

void TW1::ResetMarkers() {
    state_.markers.MarkerAX = 0;
    // A column left of where a drag puts it; the moves below place them.
    ZnA->move(screen::MarkerPictureLeft(-1), ZnA->y());
    state_.markers.MarkerBX = 0;
    ZnB->move(screen::MarkerPictureLeft(-1), ZnB->y());
    Image2MouseMove({Qt::LeftButton, Qt::NoModifier}, 0, 0);
    Image2MouseMove({Qt::RightButton, Qt::NoModifier}, 0, 0);
}

void TW1::MarkersToExtremes() {
    const Extremes e = FindExtremes(state_.samples);
    ZnA->move(screen::MarkerPictureLeft(e.min - 1), ZnA->y());
    ZnB->move(screen::MarkerPictureLeft(e.max - 1), ZnB->y());
    Image2MouseMove({Qt::LeftButton, Qt::NoModifier}, e.min, 0);
    Image2MouseMove({Qt::RightButton, Qt::NoModifier}, e.max, 0);
    RepaintNow();
}

void TW1::ApplyVoltRange(int position) {
    const auto& row = VoltTable[size_t(position)];
    state_.volt.FullScaleVolts = row.FullScaleVolts;
    state_.volt.MvPerRow = row.MvPerRow;
    state_.volt.SpectrumDivisor = row.SpectrumDivisor;
    const int bottomMv = ClampPosition(requestedMv_, row.MvPerRow, row.FullScaleVolts);
    const bool moved = bottomMv != state_.positionMv;
    state_.positionMv = bottomMv; // 1 V/dz holds all of 0..10 V; back at a finer one the view returns
    UpdateVoltLabels();
    state_.volt.VoltsPerRow = row.VoltsPerRow;
    if (moved)
        PlaceTriggerLine();
    SetStatusText(StatusPanel::Volts, QString::fromUtf8(row.Text));
    DrawSpectrum();
    // The marker heights follow the new scale.
    Image2MouseMove({Qt::LeftButton, Qt::NoModifier}, state_.markers.MarkerAX, 0);
    Image2MouseMove({Qt::RightButton, Qt::NoModifier}, state_.markers.MarkerBX, 0);
    RepaintNow();
}
