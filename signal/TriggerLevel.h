#pragma once
// The trigger levels the instrument takes, in its steps of 10/1024 V.

inline constexpr int MinTriggerLevel = 1;
inline constexpr int MaxTriggerLevel = 1023;
