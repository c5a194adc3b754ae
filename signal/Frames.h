#pragma once
// The three messages the program sends to the instrument.

#include <cstdint>
#include <string>

inline constexpr char ProbeReply = 'U';
inline constexpr char AbortCommand = 'q'; // abandons a progressive acquisition; no reply

// 0x00 0x55 0x00 0x00 0x55: a request with time-base field 0x55.
std::string ProbeFrame();

// Mode byte (trigger edge bits, plus 0x01 for the slow-down), time-base index,
// level low and high byte, and the sum of the four modulo 256.
std::string RequestFrame(int triggerEdge, bool slowDown, int timebase, int levelLow, int levelHigh);
