// The time view's vertical position, its notes at the edges, and the drags of the position and
// of the trigger level line.

#include "Main.h"
#include "NumberText.h"
#include "ProgramState.h"
#include "ScreenGeometry.h"
#include "ViewPosition.h"

#include <QCursor>
#include <QLocale>
#include <algorithm>
#include <cstdlib>

void TW1::SetPosition(int positionMv) {
    const int position = ClampPosition(positionMv, state_.volt.MvPerRow, state_.volt.FullScaleVolts);
    requestedMv_ = position;
    if (position == state_.positionMv)
        return;
    state_.positionMv = position;
    UpdateVoltLabels();
    PlaceTriggerLine();
    // The marker lines and read-outs follow their samples to the new rows; the pointer's read-out
    // reads the voltage now under it.
    PlaceMarkerItems(0, state_.markers.MarkerAX);
    PlaceMarkerItems(1, state_.markers.MarkerBX);
    if (const QPoint at = Image2->mapFromGlobal(QCursor::pos()); Image2->rect().contains(at))
        PointerReadout(at.x(), at.y());
    RepaintNow();
}

void TW1::StepPosition(int divisions) {
    SetPosition(state_.positionMv + divisions * DivisionMv(state_.volt.MvPerRow));
}

void TW1::ShowOutOfView() {
    const bool progressive = state_.acq.SlowMode && !storedBlockShown_;
    const int count = progressive ? state_.acq.RxLength / 2 : screen::Columns;
    const OutOfView out = blockOnScreen_
                              ? TraceOutOfView(state_.samples, count, state_.volt.MvPerRow, state_.positionMv)
                              : OutOfView{};
    const std::string sep = QLocale().decimalPoint().toStdString();
    const auto show = [&](QLabel* note, const std::optional<double>& volts, const char* arrow) {
        if (volts)
            note->setText(QString::fromUtf8(arrow) + QString::fromStdString(NumberText(*volts, "V", sep)));
        if (note->isVisibleTo(this) != volts.has_value())
            note->setVisible(volts.has_value());
    };
    show(AboveNote, out.aboveVolts, "▲ ");
    show(BelowNote, out.belowVolts, "▼ ");
}

QString TW1::OutOfViewText(bool above) const {
    const QLabel* note = above ? AboveNote : BelowNote;
    return note->isVisibleTo(this) ? note->text() : QString();
}

// A press in the view: the middle button takes the position, the left one on the level line the
// level; anything else is the markers'.
bool TW1::BeginViewDrag(ShiftState shift, int y) {
    if (shift.Only(Qt::MiddleButton)) {
        drag_ = Drag::Position;
    } else if (shift.Only(Qt::LeftButton) && TriggerLine->isVisibleTo(this) &&
               std::abs(y - (TriggerLine->y() - screen::TimeViewRect.top)) <= 3) {
        drag_ = Drag::Level;
        DragLevelTo(y);
        return true;
    } else {
        return false;
    }
    dragFromY_ = y;
    dragFromMv_ = state_.positionMv;
    return true;
}

// The trace follows the hand: dragged down, the view shows higher voltages.
bool TW1::ContinueDrag(int y) {
    switch (drag_) {
    case Drag::None:
        return false;
    case Drag::Level:
        DragLevelTo(y);
        break;
    case Drag::Position:
        SetPosition(dragFromMv_ + (y - dragFromY_) * state_.volt.MvPerRow);
        break;
    }
    return true;
}

void TW1::DragLevelTo(int y) {
    const int row = std::clamp(screen::HighestRow - y, 0, screen::HighestRow);
    if (OnLevelDragged)
        OnLevelDragged(LevelAtRow(row, state_.volt.MvPerRow, state_.positionMv));
}
