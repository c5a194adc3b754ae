#pragma once
// An optional trace of the serial line's errors and hang-ups, for diagnosing
// a real adapter: off unless the environment variable DRGANIK_SERIAL_TRACE is
// set to something other than "0"; lines go to standard error.

#include <string>

bool CommTraceRequested();
// "drganik serial: <event>", with ": errno <n> (<text>)" when err is not 0.
void CommTrace(bool on, const std::string& event, int err = 0);
