#pragma once
// The program's keys, in one table: each works in every window the program
// makes, wherever the focus is. A control that takes a key for itself keeps
// it (a text field its characters, a button the keyboard marked its Space),
// and in a dialog Space stays with the focused control, as dialogs have it.

#include <QKeySequence>
#include <array>
#include <functional>

class QWidget;

enum class Command {
    StartOrStop,        // Space
    OpenFile,           // Ctrl+O
    SaveFile,           // Ctrl+S
    Print,              // Ctrl+P
    ToggleMeasurements, // F2
    ToggleCapture,      // F3
    SingleShot,         // F4
    Autoset,            // F6
    OlderBlock,         // PgUp
    NewerBlock,         // PgDn
    PositionUp,         // Ctrl+Up: the time view one division higher
    PositionDown,       // Ctrl+Down
    PositionPageUp,     // Ctrl+Shift+Up: half a view higher
    PositionPageDown,   // Ctrl+Shift+Down
    TypeLevel,          // Ctrl+L
    ToggleLupa          // F5
};

struct KeyBinding {
    QKeyCombination key;
    Command command;
    bool inDialogs = true;
};

inline constexpr std::array<KeyBinding, 16> ProgramKeys{{
    {Qt::Key_Space, Command::StartOrStop, false},
    {Qt::CTRL | Qt::Key_O, Command::OpenFile},
    {Qt::CTRL | Qt::Key_S, Command::SaveFile},
    {Qt::CTRL | Qt::Key_P, Command::Print},
    {Qt::Key_F2, Command::ToggleMeasurements},
    {Qt::Key_F3, Command::ToggleCapture},
    {Qt::Key_F4, Command::SingleShot},
    {Qt::Key_F6, Command::Autoset},
    {Qt::Key_PageUp, Command::OlderBlock},
    {Qt::Key_PageDown, Command::NewerBlock},
    {Qt::CTRL | Qt::Key_Up, Command::PositionUp},
    {Qt::CTRL | Qt::Key_Down, Command::PositionDown},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Up, Command::PositionPageUp},
    {Qt::CTRL | Qt::SHIFT | Qt::Key_Down, Command::PositionPageDown},
    {Qt::CTRL | Qt::Key_L, Command::TypeLevel},
    {Qt::Key_F5, Command::ToggleLupa},
}};

// Every key of the table in `window`, each running `run` with its command.
void BindProgramKeys(QWidget& window, const std::function<void(Command)>& run);
// Whether a key of the table is bound in `window` (a QDialog or not).
bool BoundIn(const KeyBinding& binding, const QWidget& window);
