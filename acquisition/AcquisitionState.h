#pragma once
// State of the acquisition cycle, touched on the GUI thread only.
// Idle means Running false and RxCount 0.

#include <string>

struct AcquisitionState {
    bool Running = false;
    int ProbeCountdown = 0; // ticks left for the probe reply
    int ReplyTimeout = 0;   // ticks of silence left before the port is closed
    int RecoveryWait = 0;   // ticks left of the recovery wait
    bool DataArrived = false;
    std::string RxBuffer;  // bytes of the current block so far
    int RxCount = 0;       // bytes counted toward the current block
    int RxLength = 0;      // length of RxBuffer after the last progressive append
    bool SlowMode = false; // progressive mode in force
    int SeenTimebase = 0;
    int RequestedTimebase = 0; // T/dz of the last request: the time base of the block it brings
    int SeenTriggerLevel = 1;
};

bool Idle(const AcquisitionState& s);
