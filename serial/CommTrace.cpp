#include "CommTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool CommTraceRequested() {
    const char* value = std::getenv("DRGANIK_SERIAL_TRACE");
    return value && *value && std::strcmp(value, "0") != 0;
}

void CommTrace(bool on, const std::string& event, int err) {
    if (!on)
        return;
    std::string line = "drganik serial: " + event;
    if (err != 0)
        line += ": errno " + std::to_string(err) + " (" + std::strerror(err) + ")";
    line += '\n';
    // One write per line, so the two threads' lines do not interleave.
    std::fputs(line.c_str(), stderr);
}
