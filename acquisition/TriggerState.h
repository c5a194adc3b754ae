#pragma once
// The trigger settings that every request frame carries.

#include "TriggerLevel.h"

#include <string>

struct TriggerState {
    int TriggerMode = 0;                // 0 off, 1 rising, 2 falling
    int TriggerEdge = 0;                // mode-byte bits: 0x00 off, 0x60 rising, 0x40 falling
    int TriggerLevel = MinTriggerLevel; // up to MaxTriggerLevel, one step = 9.765625 mV
    int LevelLow = 1;                   // TriggerLevel & 0xFF
    int LevelHigh = 0;                  // (TriggerLevel & 0xFF00) >> 8
    int TriggerLevelTens = 1;
};

// Mode 0, 1 or 2 with its edge bits.
void SetTriggerMode(TriggerState& t, int mode);
// A new level from the knob: the two bytes and the level in tens of millivolts.
void SetTriggerLevel(TriggerState& t, int position);
// "10mV", "970mV", "9990mV": always millivolts ending in 0.
std::string TriggerLevelText(const TriggerState& t);
// Status-bar text of a mode: "OFF", "L->H", "H->L".
const char* TriggerModeText(int mode);
