// The acquisition cycle's part in looking back: the single shot and the hand-over
// of each complete block to the capture.
#include "AcquisitionCycle.h"
#include "Capture.h"
#include "CommPort.h"

#include <algorithm>
#include <chrono>

void AcquisitionCycle::SingleShot() {
    if (collecting_) {
        shotAfterCollection_ = true; // a block is being handled: its own request may still go out
        return;
    }
    if (!p_.acq.Running) {
        if (!p_.port.IsOpen() || p_.acq.ProbeCountdown != 0)
            return; // not connected: there is nothing to take a block from
        Start();
    }
    single_ = true;
}

void AcquisitionCycle::TakeCompleteBlock(int timebase) {
    if (p_.capture) {
        CapturedBlock block;
        std::copy_n(p_.samples.begin(), block.samples.size(), block.samples.begin());
        block.timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
        block.timebase = std::uint8_t(timebase);
        block.voltRange = std::uint8_t(p_.controls->VoltPosition());
        block.triggerMode = std::uint8_t(p_.trigger.TriggerMode);
        block.triggerLevel = std::uint16_t(p_.trigger.TriggerLevel);
        block.progressive = p_.acq.SlowMode;
        p_.capture->Take(block);
    }
    if (single_)
        Stop();
}
