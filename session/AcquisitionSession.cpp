#include "AcquisitionSession.h"

#include "PortDevice.h"
#include "ProgramState.h"
#include "Protocol.h"
#include "SettingsFile.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>
#include <cstdint>

AcquisitionSession::AcquisitionSession(ProgramState& state, const SettingsFile& ini, Guard guard,
                                       std::string portDevice)
    : guard_(std::move(guard)), Com1([this](std::function<void()> task) {
          // The port's events reach this thread through its event queue, guarded like every handler.
          QMetaObject::invokeMethod(
              QCoreApplication::instance(), [this, task = std::move(task)] { guard_(task); },
              Qt::QueuedConnection);
      }),
      capture(std::size_t(state.settings.HistoryLength)),
      cycle_({state.acq, state.trigger, state.settings, state.samples, state.spectrum, Com1, &alone, &alone,
              *state.transform, &capture}) {
    ConfigurePort(ini, std::move(portDevice));
    FollowTimerInterval();
    QObject::connect(&Timer1, &PollTimer::timeout, [this] { guard_([this] { Timer1Timer(); }); });
    Com1.OnRxChar = [this](TCustomCommPort* sender, int count) { Com1RxChar(sender, count); };
    Timer1.SetTimerInterval(state.settings.Timer);
    Com1.SetPortNum(state.settings.CP);
}

// 115200 8N1, DTR and RTS on, one block in, two frames out.
void AcquisitionSession::ConfigurePort(const SettingsFile& ini, std::string portDevice) {
    Com1.Line.Baudrate = br115200;
    Com1.Line.FlowControl = TCommFlowControl{};
    Com1.SetMonitorEvents({ceRxChar});
    Com1.Buffers.ReadSize = protocol::BlockBytes;
    Com1.Buffers.WriteSize = 2 * protocol::RequestFrameBytes;
    Com1.EventPriority = tpHighest;
    // Read at every open: a device chosen in the settings dialog takes effect at the next connect.
    Com1.SetDeviceResolver([&ini, device = std::move(portDevice)](const std::string& name) {
        return device.empty() ? MappedDevicePath(ini, name) : device;
    });
}

// The receive thread announces bytes no more often than it must for every tick to find
// those that came since the last one: well inside one tick, with room for late wake-ups.
// The tick takes the announcement itself, so this thread does not wake for it; only
// when two ticks have gone by without one is it posted.
// The tick is not range-checked: the delays are worked out wide enough not to overflow.
void AcquisitionSession::FollowTimerInterval() {
    Timer1.OnInterval = [this](int ms) {
        const std::int64_t tick = ms;
        Com1.SetRxHoldoffMs(ms > 0 ? int(tick * 3 / 4) : 8);
        Com1.SetRxNotifyLatencyMs(ms > 0 ? int(std::min<std::int64_t>(2 * tick, INT_MAX)) : 0);
    };
}

void AcquisitionSession::ClosePort() {
    if (Com1.IsOpen())
        Com1.Close();
}
