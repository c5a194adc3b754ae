#pragma once
// Turns the component's line settings into a raw termios: every byte passes
// unchanged, reads return at once with what is queued.

#include "CommTypes.h"

#include <termios.h>

// Returns false when the platform cannot express the settings (e.g. 4 data bits).
bool MakeLineTermios(const TCommLine& line, termios& t);

// Bits per second of a baud-rate choice (UserBaudrate for brUser).
int BaudrateBits(TBaudrate rate, int userBaudrate);
