#pragma once
// The numbers of the conversation with the instrument, named once. Ticks are
// periods of the poll timer; pauses are in milliseconds.

namespace protocol {

inline constexpr int RequestFrameBytes = 5;        // mode, T/dz, level low and high, checksum
inline constexpr int ProbeTicks = 50;              // the probe's reply may take this many ticks
inline constexpr int SettleBeforeProbeMs = 502;    // after opening the port, before the probe
inline constexpr int ReopenAtRecoveryWait = 5;     // the recovery tick that reopens a closed port
inline constexpr int BlockBytes = 1000;            // one data block: 500 samples of two bytes
inline constexpr int FastBlockFrom = 997;          // more bytes than this complete a fast block
inline constexpr int PauseBeforeRequestMs = 10;    // after a fast block, before the next request
inline constexpr int MaxSampleWord = 1024;         // a second word above it: a garbled transfer
inline constexpr int FirstProgressiveTimebase = 7; // T/dz 20 ms and slower: drawn as the bytes come
inline constexpr int LastUnpausedTimebase = 10;    // T/dz 0,5 s and slower pause before a request
inline constexpr int SlowRequestPauseMs = 500;
inline constexpr int ProgressiveBufferBytes = 2000; // what SampleBuffer takes

} // namespace protocol
