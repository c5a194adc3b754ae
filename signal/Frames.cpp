#include "Frames.h"

std::string ProbeFrame() {
    return RequestFrame(0, false, 0x55, 0, 0);
}

std::string RequestFrame(int triggerEdge, bool slowDown, int timebase, int levelLow, int levelHigh) {
    const auto mode = std::uint8_t(triggerEdge | (slowDown ? 1 : 0));
    const std::uint8_t bytes[4] = {mode, std::uint8_t(timebase), std::uint8_t(levelLow),
                                   std::uint8_t(levelHigh)};
    std::string frame(reinterpret_cast<const char*>(bytes), 4);
    frame += char(std::uint8_t(bytes[0] + bytes[1] + bytes[2] + bytes[3]));
    return frame;
}
