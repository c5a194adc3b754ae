#include "HeadlessViews.h"

#include "WaitMs.h"

void HeadlessViews::SetStartStop(bool start, bool stop) {
    startEnabled = start;
    stopEnabled = stop;
}

void HeadlessViews::ShowProbeFailure() {
    if (OnProbeFailure)
        OnProbeFailure();
}

void HeadlessViews::Pause(int ms) {
    WaitMs(ms);
}
