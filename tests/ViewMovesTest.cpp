// The time view moved off 0 V, the level set in one move, and the session kept from one run to
// the next, as a user does them: mouse, wheel and keys on the windows.

#include "LevelDialog.h"
#include "ProgramHarness.h"
#include "SessionState.h"
#include "Simulator.h"
#include "ViewPosition.h"

#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

struct Rig : TempDir, TestProgram {
    Rig() : TestProgram(File("drganik.ini")) {}
    // A 3 V / 7 V square shown as a loaded block at 0,2 V/dz.
    void ShowSquare() {
        for (int i = 0; i < 500; ++i)
            state.samples[size_t(i)] = i % 100 < 50 ? 308 : 717;
        W2->ShowStoredBlock(0, 2);
    }
    // Pixels of the trace's pen in the time view.
    int TracePixels() {
        const QImage& kept = W1->ClientImage();
        int n = 0;
        for (int y = 30; y < 280; ++y)
            for (int x = 30; x < 530; ++x)
                n += (kept.pixel(x, y) & 0xFFFFFF) !=
                     (W1->TimeBackgroundImage().pixel(x - 30, y - 30) & 0xFFFFFF);
        return n;
    }
};

void Mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
    QMouseEvent e(type, at, w.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Drag(QWidget& w, Qt::MouseButton button, QPoint from, QPoint to) {
    Mouse(w, QEvent::MouseButtonPress, button, button, from);
    Mouse(w, QEvent::MouseMove, Qt::NoButton, button, to);
    Mouse(w, QEvent::MouseButtonRelease, button, Qt::NoButton, to);
}

void Wheel(QWidget& w, int delta, Qt::KeyboardModifiers keys) {
    QWheelEvent e(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

} // namespace

TEST(ViewMoves, ASquareAboveTheViewComesIntoItAndEverythingFollows) {
    Rig p;
    p.ShowSquare();
    EXPECT_EQ(p.TracePixels(), 0) << "3..7 V is above a 0..2 V view";
    EXPECT_EQ(p.W1->OutOfViewText(true), "▲ 3,01V") << "but the edge says where it went";

    QWidget& scale = Control(*p.W1, "VoltScale");
    Drag(scale, Qt::LeftButton, {10, 20}, {10, 20 + 375}); // 375 rows of 8 mV: the bottom at 3 V
    EXPECT_EQ(p.state.positionMv, 3000);
    EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 0), "5V");
    EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 10), "3V");
    EXPECT_GT(p.TracePixels(), 500) << "the low level and the edges are in the view";
    EXPECT_EQ(p.W1->OutOfViewText(false), "") << "3,01 V is on the bottom row";
    EXPECT_EQ(p.W1->OutOfViewText(true), "▲ 7V") << "the high level above";
    p.W1->Image2MouseMove({Qt::NoButton, Qt::NoModifier}, 100, 125);
    EXPECT_EQ(p.W2->PointerVoltText(), "4V");

    QWidget& view = Control(*p.W1, "Image2");
    Wheel(view, 120, Qt::ControlModifier);
    EXPECT_EQ(p.state.positionMv, 3200) << "Ctrl+wheel: one division";
    Wheel(view, 120, Qt::NoModifier);
    EXPECT_EQ(p.state.positionMv, 3200) << "the wheel alone does not move the view";
    Drag(view, Qt::MiddleButton, {100, 100}, {100, 75});
    EXPECT_EQ(p.state.positionMv, 3000) << "the middle button drags the trace with the hand";
    QTest::mouseDClick(&scale, Qt::LeftButton, {}, {10, 100});
    EXPECT_EQ(p.state.positionMv, 0);
    for (int i = 0; i < 3; ++i)
        p.W1->StepPosition(+1);
    EXPECT_EQ(p.state.positionMv, 600);
    p.W2->TurnKnob(TW2::ToolKnob::Volts, 0);
    EXPECT_EQ(p.state.positionMv, 0) << "1 V/dz shows all of 0..10 V";
    EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 10), "0V");
    p.W2->TurnKnob(TW2::ToolKnob::Volts, 2);
    EXPECT_EQ(p.state.positionMv, 600) << "back at 0,2 V/dz the view returns";
}

TEST(ViewMoves, TheLevelTakesOneDragTenStepsWithShiftOrATypedValue) {
    Rig p;
    p.W2->Press(TW2::ToolButton::TriggerRising);
    p.session.Timer1.SetTimerInterval(0);
    p.session.Timer1Timer(); // the line to its place
    QWidget& view = Control(*p.W1, "Image2");
    const int lineY = p.W1->LevelLine().y() - 30;
    p.W2->Press(TW2::ToolButton::MarkersOn);
    Drag(view, Qt::LeftButton, {200, lineY}, {200, 249 - 128}); // 128 rows of 40 mV: 5,12 V
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Level).Position(), LevelAtRow(128, 40, 0));
    EXPECT_EQ(p.state.trigger.TriggerLevel, 524);
    EXPECT_EQ(p.state.markers.MarkerAX, 0) << "a drag of the line places no marker";
    Mouse(view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {300, 10});
    Mouse(view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {300, 10});
    EXPECT_EQ(p.state.markers.MarkerAX, 300) << "off the line a click is the marker's";

    TKnob& level = Control<TKnob>(*p.W2, "Knob3");
    Wheel(level, 120, Qt::ShiftModifier);
    EXPECT_EQ(level.Position(), 534);
    QTest::keyClick(&level, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&level, Qt::Key_Left);
    EXPECT_EQ(level.Position(), 523);
    QTest::keyPress(p.W2->windowHandle(), Qt::Key_Shift, Qt::ShiftModifier); // held while "+" is clicked
    p.W2->Press(TW2::ToolButton::LevelUp);
    QTest::keyRelease(p.W2->windowHandle(), Qt::Key_Shift);
    p.W2->Press(TW2::ToolButton::LevelDown);
    EXPECT_EQ(level.Position(), 532);

    TLevelDialog dialog(p.W2.get(), 523);
    EXPECT_EQ(dialog.Field().text(), "5,1 V") << "as the read-out above the knob, 5100mV";
    dialog.Field().setText("5 kV");
    dialog.accept();
    EXPECT_FALSE(dialog.Error().isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Rejected) << "stays open";
    dialog.Field().setText("5");
    dialog.accept();
    EXPECT_EQ(dialog.Level(), 512);
    p.W2->AskLevelValue = [](int) { return std::optional<int>(512); };
    QWidget& readout = Control(*p.W2, "Label14");
    EXPECT_EQ(readout.parentWidget()->childAt(readout.geometry().center()), &readout)
        << "the read-out, not the knob under it, takes the pointer";
    QTest::mouseDClick(&readout, Qt::LeftButton, {}, readout.rect().center());
    EXPECT_EQ(p.state.trigger.TriggerLevel, 512);
    EXPECT_EQ(p.W2->LevelText(), "5000mV") << "set as the knob sets it";
}

namespace {

struct SessionRig : WorkingFolder, Program {
    SessionRig(const TempDir& dir, bool fresh = false)
        : WorkingFolder(true),
          Program(dir.File("drganik.ini"), {}, {}, dir.File("state/session.ini"), fresh) {}
};

} // namespace

TEST(ViewMoves, TheSessionComesBackAndItsDefaultsChangeNoPixel) {
    TempDir dir;
    QImage withoutState;
    {
        SessionRig p(dir);
        withoutState = p.W1->ShownPicture();
        p.KeepSession(); // the defaults
    }
    ASSERT_TRUE(ReadSessionState(dir.File("state/session.ini")));
    {
        SessionRig p(dir);
        EXPECT_TRUE(p.W1->ShownPicture() == withoutState)
            << "a state file at the defaults shows the same pixels";
        p.W2->TurnKnob(TW2::ToolKnob::Volts, 2);
        p.W2->TurnKnob(TW2::ToolKnob::Time, 3);
        p.W2->Press(TW2::ToolButton::TriggerFalling);
        p.W2->TurnKnob(TW2::ToolKnob::Level, 512);
        p.W1->SetPosition(3000);
        p.W2->SetFileFolder(QString::fromStdString(dir.path.string()));
        p.measurements->Toggle();
        p.lupa->Toggle();
        p.lupa->SetAveraging(16);
        p.lupa->TakeReference();
        p.KeepSession();
    }
    {
        SessionRig p(dir);
        EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Volts).Position(), 2);
        EXPECT_TRUE(RunUntil([&] { return p.W1->StatusText(StatusPanel::TimeBase) == "1ms"; }, 20000))
            << "on the first tick, as a knob turned by hand";
        EXPECT_EQ(p.state.trigger.TriggerEdge, 0x40);
        EXPECT_EQ(p.W2->LevelText(), "5000mV");
        EXPECT_EQ(p.W1->ScaleText(TW1::Scale::Volts, 10), "3V");
        EXPECT_EQ(p.W2->FileFolder().toStdString(), dir.path.string());
        EXPECT_TRUE(p.measurements->isVisible());
        EXPECT_FALSE(p.captureWindow->isVisible());
        EXPECT_TRUE(p.lupa->isVisible());
        EXPECT_EQ(p.lupa->AveragingLength(), 16);
        EXPECT_TRUE(p.lupa->Reference()) << "the reference is kept with the session";
    }
    SessionRig fresh(dir, true);
    EXPECT_EQ(fresh.state.positionMv, 0) << "--fresh";
    EXPECT_FALSE(fresh.measurements->isVisible());
    fresh.KeepSession();
    EXPECT_EQ(ReadSessionState(dir.File("state/session.ini"))->positionMv, 3000) << "left as it was";
}

// F6 from the windows on the simulator's 50 Hz square: the knobs as the search chose, a rising
// edge, acquiring, the choice told on the view, and triggered blocks coming.
TEST(ViewMoves, F6BringsASquareToATriggeredPicture) {
    TempDir dir;
    Simulator sim(dir, {"--signal", "square", "--freq", "50", "--amp", "2", "--offset", "5", "--fast"});
    TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + sim.link + "\n");
    TestProgram p(dir.File("drganik.ini"));
    p.W2->Press(TW2::ToolButton::Connect);
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, 20000)) << "no probe reply";
    std::optional<AutosetEnd> end;
    const auto finished = p.autoset->OnFinished;
    p.autoset->OnFinished = [&](const AutosetEnd& e) { end = e, finished(e); };
    p.Run(Command::Autoset);
    ASSERT_TRUE(RunUntil([&] { return end.has_value(); }, 60000));
    ASSERT_TRUE(end->result) << end->message;
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Time).Position(), 4) << "2 ms/dz: two periods of 20 ms";
    EXPECT_EQ(p.W2->Knob(TW2::ToolKnob::Volts).Position(), 1) << "0,5 V/dz: 4 V of a 5 V view";
    EXPECT_EQ(p.state.trigger.TriggerMode, 1);
    EXPECT_NEAR(p.state.trigger.TriggerLevel * 9.765625, 5000, 50);
    EXPECT_TRUE(p.state.acq.Running);
    EXPECT_EQ(p.W1->NoteText(), QString::fromStdString(end->message));
    int blocks = 0;
    p.W1->OnBlockShown = [&](int) { ++blocks; };
    EXPECT_TRUE(RunUntil([&] { return blocks >= 2; }, 20000)) << "triggered blocks keep coming";
    p.session.Stop();
}
