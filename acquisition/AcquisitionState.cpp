#include "AcquisitionState.h"

bool Idle(const AcquisitionState& s) {
    return !s.Running && s.RxCount == 0;
}
