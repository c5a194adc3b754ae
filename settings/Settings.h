#pragma once
// The twelve persistent settings, named by their keys, with their defaults,
// and the fixed order in which they are read at start and written on save;
// and the history's length, read at start only.

#include <functional>
#include <string>

class SettingsFile;

struct Settings {
    int LW = 1;  // trace pen width
    int BG = 0;  // time-view background picture
    int BFG = 0; // spectrum background picture
    int CP = 1;  // COM port number
    int PC = 0;  // trace colour, 0x00BBGGRR
    int PCF = 0; // spectrum colour, 0x00BBGGRR
    bool FW = true;
    bool WYSSTATUS = true;
    int Czekaj1 = 20;  // recovery wait, ticks
    int Timeout1 = 20; // reply time-out, ticks
    int Timer = 25;    // poll interval, ms; the poll timer's interval is its run-time copy
    bool Spow = true;
    int HistoryLength = 1000; // key Historia of [Przechwytywanie]: blocks kept, 0 none
};

inline constexpr int MaxHistoryLength = 100000;

Settings ReadSettings(const SettingsFile& file);

// The texts of the dialog's three number fields.
struct AdvancedFields {
    std::string Timer;
    std::string Timeout;
    std::string Czekaj;
};

// Saves in the dialog's order: DISP, MISC, then the three fields are parsed (the
// interval is applied through applyTimer as soon as it parses), then ADVANCED.
// A field that is not an integer throws and leaves ADVANCED unwritten.
void SaveSettings(SettingsFile& file, Settings& s, const AdvancedFields& fields,
                  const std::function<void(int)>& applyTimer);
