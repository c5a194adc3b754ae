#include "TriggerState.h"

#include <cmath>
#include <cstdint>

void SetTriggerMode(TriggerState& t, int mode) {
    static constexpr int edges[] = {0x00, 0x60, 0x40};
    t.TriggerMode = mode;
    t.TriggerEdge = edges[mode];
}

void SetTriggerLevel(TriggerState& t, int position) {
    t.TriggerLevel = position;
    t.LevelHigh = (position & 0xFF00) >> 8;
    t.LevelLow = position & 0xFF;
    const long double mv = position * 9.765625L;
    t.TriggerLevelTens = int(std::int64_t(std::nearbyint(mv)) / 10);
}

std::string TriggerLevelText(const TriggerState& t) {
    return std::to_string(t.TriggerLevelTens) + "0mV";
}

const char* TriggerModeText(int mode) {
    static constexpr const char* texts[] = {"OFF", "L->H", "H->L"};
    return texts[mode];
}
