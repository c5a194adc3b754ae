#include "HeadlessAutoset.h"

#include "AcquisitionSession.h"
#include "ProgramState.h"
#include "RangeTables.h"
#include "TriggerState.h"

bool HeadlessAutosetControls::Connected() const {
    return session_.Com1.IsOpen() && state_.acq.ProbeCountdown == 0;
}

bool HeadlessAutosetControls::Acquiring() const {
    return state_.acq.Running;
}

void HeadlessAutosetControls::SetTimebase(int position) {
    session_.alone.timebase = position;
    state_.time = TimeBaseAt(position);
}

void HeadlessAutosetControls::SetVolt(int position) {
    const VoltRow& row = VoltTable.at(std::size_t(position));
    session_.alone.volt = position;
    state_.volt = {row.FullScaleVolts, row.MvPerRow, row.SpectrumDivisor, row.VoltsPerRow};
}

void HeadlessAutosetControls::SetPositionMv(int mv) {
    state_.positionMv = mv;
}

void HeadlessAutosetControls::SetTriggerMode(int mode) {
    ::SetTriggerMode(state_.trigger, mode);
}

void HeadlessAutosetControls::SetTriggerLevel(int position) {
    ::SetTriggerLevel(state_.trigger, position);
}

void HeadlessAutosetControls::StartAcquiring() {
    session_.Start();
}
