#pragma once
// The session as the windows hold it, taken at exit and given back at start: the knobs, the
// trigger, the view's position, the extra windows open and where, the files' folder.

#include "SessionState.h"

class Program;
class QWidget;

SessionState TakeSession(const Program& program);
void RestoreSession(Program& program, const SessionState& session);

// A window's place: shown or not, its client area's position and size.
WindowPlace PlaceOf(const QWidget& window);
// Shows the window with `show` when it was open, then puts it where it was if that is on a screen now.
void RestorePlace(QWidget& window, const WindowPlace& place, void (*show)(QWidget&));
