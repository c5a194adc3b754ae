#include "RecorderViews.h"

#include "WaitMs.h"

// As the windows pause: ticks and the port's events go on meanwhile.
void RecorderViews::Pause(int ms) {
    WaitMs(ms);
}
