#pragma once
// Autoset's hands on the windows: the tool window's knobs, switch and Start, the main window's
// position, turned as the user would turn them.

#include "AutosetRun.h"

class TW1;
class TW2;

class WindowAutosetControls final : public AutosetControls {
  public:
    WindowAutosetControls(TW1& w1, TW2& w2, const AcquisitionSession& session, const ProgramState& state)
        : w1_(w1), w2_(w2), session_(session), state_(state) {}
    bool Connected() const override;
    bool Acquiring() const override;
    void SetTimebase(int position) override;
    void SetVolt(int position) override;
    void SetPositionMv(int mv) override;
    void SetTriggerMode(int mode) override;
    void SetTriggerLevel(int position) override;
    void StartAcquiring() override;

  private:
    TW1& w1_;
    TW2& w2_;
    const AcquisitionSession& session_;
    const ProgramState& state_;
};
