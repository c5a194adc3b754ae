#pragma once
// What the user was working with, kept from one run to the next in a state file of its own
// ("$XDG_STATE_HOME/drganik/session.ini"): the knobs, the trigger, the view's position, the
// extra windows and the files' folder. The settings file stays the settings dialog's alone.
// A state file that cannot be trusted (not a regular file, too large, garbage) reads as none;
// every value read is brought into its range.

#include "ReferenceTrace.h"

#include <map>
#include <optional>
#include <string>

struct WindowPlace {
    bool open = false;
    std::optional<int> x, y, width, height; // the client area's place and size, when known
    bool operator==(const WindowPlace&) const = default;
};

struct SessionState {
    int volt = 0;     // V/dz position
    int timebase = 0; // T/dz position
    int triggerMode = 0;
    int level = 1;                              // trigger level position
    int positionMv = 0;                         // the voltage at the time view's bottom
    std::map<std::string, WindowPlace> windows; // by the window's name
    std::string folder;                         // where the file dialogs start; empty: the current one
    // The Lupa's choices and its reference trace.
    int averaging = 1;      // blocks averaged, 1..256; 1 is off
    int spectrumWindow = 0; // 0 the main window's, 1 Hann, 2 flat-top
    int dbScale = 0;        // 0 dBV, 1 relative to the largest bin
    std::optional<ReferenceTrace> reference;
    bool operator==(const SessionState&) const = default;
};

// $XDG_STATE_HOME/drganik/session.ini, ~/.local/state/drganik/session.ini without it; empty
// when neither says where home is.
std::string SessionStatePath();

std::optional<SessionState> ReadSessionState(const std::string& path);
std::optional<SessionState> ParseSessionState(const std::string& text);
std::string SessionStateText(const SessionState& state);
// Makes the folder (only the user may enter) and replaces the file at once; false when refused.
bool WriteSessionState(const std::string& path, const SessionState& state);
