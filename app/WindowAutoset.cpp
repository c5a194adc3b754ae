#include "WindowAutoset.h"

#include "Main.h"
#include "ProgramState.h"
#include "Toolbox.h"

// The probe answered and the port open, or acquiring: a recovery wait closes it for a while.
bool WindowAutosetControls::Connected() const {
    return (session_.Com1.IsOpen() || state_.acq.Running) && state_.acq.ProbeCountdown == 0;
}

bool WindowAutosetControls::Acquiring() const {
    return state_.acq.Running;
}

void WindowAutosetControls::SetTimebase(int position) {
    w2_.TurnKnob(TW2::ToolKnob::Time, position);
}

void WindowAutosetControls::SetVolt(int position) {
    w2_.TurnKnob(TW2::ToolKnob::Volts, position);
}

void WindowAutosetControls::SetPositionMv(int mv) {
    w1_.SetPosition(mv);
}

void WindowAutosetControls::SetTriggerMode(int mode) {
    if (mode != state_.trigger.TriggerMode)
        w2_.SetTriggerModeTo(mode);
}

void WindowAutosetControls::SetTriggerLevel(int position) {
    w2_.TurnKnob(TW2::ToolKnob::Level, position);
}

void WindowAutosetControls::StartAcquiring() {
    w2_.Press(TW2::ToolButton::Start);
}
