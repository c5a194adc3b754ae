#pragma once
// Autoset's controls while no window is attached: the session's headless knobs
// and the program state, as the tool window's handlers would set them.

#include "AutosetRun.h"

class AcquisitionSession;
struct ProgramState;

class HeadlessAutosetControls final : public AutosetControls {
  public:
    HeadlessAutosetControls(AcquisitionSession& session, ProgramState& state)
        : session_(session), state_(state) {}

    bool Connected() const override;
    bool Acquiring() const override;
    void SetTimebase(int position) override;
    void SetVolt(int position) override;
    void SetPositionMv(int mv) override;
    void SetTriggerMode(int mode) override;
    void SetTriggerLevel(int position) override;
    void StartAcquiring() override;

  private:
    AcquisitionSession& session_;
    ProgramState& state_;
};
