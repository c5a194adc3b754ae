#pragma once
// The trigger settings that every request frame carries.

struct TriggerState {
    int TriggerMode = 0;  // 0 off, 1 rising, 2 falling
    int TriggerEdge = 0;  // mode-byte bits: 0x00 off, 0x60 rising, 0x40 falling
    int TriggerLevel = 1; // 1..1023, one step = 9.765625 mV
    int LevelLow = 1;     // TriggerLevel & 0xFF
    int LevelHigh = 0;    // (TriggerLevel & 0xFF00) >> 8
    int TriggerLevelTens = 1;
};
