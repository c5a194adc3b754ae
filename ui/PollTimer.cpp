#include "PollTimer.h"

PollTimer::PollTimer() {
    setTimerType(Qt::PreciseTimer);
}

void PollTimer::SetTimerInterval(int ms) {
    setInterval(ms);
    if (ms > 0)
        start();
    else
        stop();
    if (OnInterval)
        OnInterval(ms);
}
