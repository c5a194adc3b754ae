#pragma once
// SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, Ctrl+C) end the program as its close
// button does: the port closed and the session kept, instead of the process simply dying.
// The handler only writes a byte; the event loop reads it and runs `end`.

#include <functional>

class QObject;

void EndOnSignals(QObject& owner, std::function<void()> end);
