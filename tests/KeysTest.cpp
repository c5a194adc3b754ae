// Every key of the program's table, pressed in every window the program makes,
// with the focus on a control of that window: each does what it says.

#include "BoxWatcher.h"
#include "ProgramHarness.h"
#include "Pty.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kLong = 20000;

struct Rig : TestProgram {
    explicit Rig(TempDir& dir, Pty& pty)
        : TestProgram([&] {
              TempDir::Put(dir.File("drganik.ini"), "[PORTS]\nCOM1=" + pty.SlavePath() + "\n");
              return dir.File("drganik.ini");
          }()) {}
    int opens = 0, saves = 0, prints = 0, levelAsks = 0;
};

void Press(QWidget& window, QKeyCombination keys) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, keys.key(),
                    keys.keyboardModifiers());
}

// What pressing `binding` in `window` must change, checked around the press.
void Check(Rig& p, QWidget& window, const KeyBinding& binding) {
    auto& acq = p.state.acq;
    const auto press = [&] { Press(window, binding.key); };
    const std::string where = window.objectName().toStdString();
    switch (binding.command) {
    case Command::StartOrStop:
        press();
        EXPECT_TRUE(acq.Running) << where;
        press();
        EXPECT_FALSE(acq.Running) << where;
        return;
    case Command::OpenFile:
    case Command::SaveFile:
    case Command::Print: {
        const int before = p.opens + p.saves + p.prints;
        press();
        EXPECT_EQ(p.opens + p.saves + p.prints, before + 1) << where;
        return;
    }
    case Command::ToggleMeasurements:
    case Command::ToggleCapture:
    case Command::ToggleLupa: {
        QWidget& toggled = binding.command == Command::ToggleCapture ? static_cast<QWidget&>(*p.captureWindow)
                           : binding.command == Command::ToggleLupa  ? static_cast<QWidget&>(*p.lupa)
                                                                     : static_cast<QWidget&>(*p.measurements);
        const bool shown = toggled.isVisible();
        press();
        EXPECT_NE(toggled.isVisible(), shown) << where;
        toggled.setVisible(shown);
        return;
    }
    case Command::SingleShot:
        press();
        EXPECT_TRUE(p.session.SingleShotArmed() && acq.Running) << where;
        p.session.Stop();
        return;
    case Command::Autoset:
        press();
        EXPECT_TRUE(p.autoset->Running() && acq.Running) << where;
        p.session.Stop();
        return;
    case Command::OlderBlock:
    case Command::NewerBlock: {
        const std::size_t shown = p.captureWindow->ShownIndex();
        press();
        EXPECT_EQ(p.captureWindow->ShownIndex(),
                  binding.command == Command::OlderBlock ? shown - 1 : shown + 1)
            << where;
        return;
    }
    case Command::PositionUp: // one division of 0,2 V up, then down again; with Shift five
    case Command::PositionDown:
    case Command::PositionPageUp:
    case Command::PositionPageDown: {
        const bool up = binding.command == Command::PositionUp || binding.command == Command::PositionPageUp;
        const bool page =
            binding.command == Command::PositionPageUp || binding.command == Command::PositionPageDown;
        const int before = p.state.positionMv;
        press();
        EXPECT_EQ(p.state.positionMv, before + (up ? 1 : -1) * (page ? 1000 : 200)) << where;
        return;
    }
    case Command::TypeLevel: {
        const int before = p.levelAsks;
        press();
        EXPECT_EQ(p.levelAsks, before + 1) << where;
        return;
    }
    }
}

} // namespace

TEST(Keys, EveryKeyOfTheTableWorksInEveryWindow) {
    TempDir dir;
    Pty pty;
    Rig p(dir, pty);
    p.W2->AskOpenFileName = [&] { return ++p.opens, QString(); };
    p.W2->AskSaveFileName = [&] { return ++p.saves, QString(); };
    p.W2->AskPrinter = [&](QPrinter&) { return ++p.prints, false; };
    p.W2->AskLevelValue = [&](int) { return ++p.levelAsks, std::optional<int>(); };
    p.session.Connect();
    pty.Write("U");
    ASSERT_TRUE(RunUntil([&] { return p.state.acq.ProbeCountdown == 0; }, kLong)) << "not connected";
    // Three blocks to step through, the middle one shown; at 0,2 V/dz the view can move.
    CapturedBlock block;
    block.voltRange = 2;
    for (int i = 0; i < 3; ++i)
        p.session.capture.Take(block);
    p.captureWindow->ShowHistoryBlock(1);

    for (QWidget* window :
         std::initializer_list<QWidget*>{p.W1.get(), p.W2.get(), p.Form1.get(), p.measurements.get(),
                                         p.captureWindow.get(), p.lupa.get()}) {
        // The focus on a control of the window where it has one, as after a click on it.
        if (auto* control = window->nextInFocusChain();
            control && control != window && window->isAncestorOf(control))
            control->setFocus();
        for (const KeyBinding& binding : ProgramKeys)
            if (BoundIn(binding, *window))
                Check(p, *window, binding);
    }
    // At the newest block PgDn does nothing, and says nothing.
    BoxWatcher watcher;
    p.captureWindow->ShowHistoryBlock(2);
    Press(*p.W1, Qt::Key_PageDown);
    EXPECT_EQ(p.captureWindow->ShownIndex(), 2u);
    EXPECT_TRUE(watcher.seen.empty());
}
