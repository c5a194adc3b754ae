#include "Recorder.h"

#include "AcquisitionSession.h"
#include "Messages.h"
#include "ProgramState.h"

namespace {

constexpr int WatchMs = 100;

} // namespace

Recorder::Recorder(const RecOptions& options, ProgramState& state, AcquisitionSession& session,
                   BlockExport& out, Progress& progress)
    : options_(options), state_(state), session_(session), out_(out), progress_(progress) {
    views.timebase = options.timebase; // no V/dz: the samples are kept as they come
    views.OnProbeFailure = [this] { probeFailed_ = true; };
    SetTriggerMode(state.trigger, options.trigger);
    SetTriggerLevel(state.trigger, options.level);
    session.AttachViews(views, views);
    // One block is all the history must hold: each is written out as it comes.
    session.capture.SetHistoryLength(1);
    session.capture.OnTaken = [this] { Taken(); };
    QObject::connect(&watch_, &QTimer::timeout, [this] { Watch(); });
}

void Recorder::Begin() {
    watch_.start(WatchMs);
    session_.Connect();
}

void Recorder::Failed(const std::string& error) {
    // Once recording, a failed reopen is the device unplugged: the recovery retries and the
    // progress line says it is missing. Before that, the device is not there to record from.
    if (!started_)
        End(DeviceOrFileError, error);
}

void Recorder::Taken() {
    if (ending_)
        return;
    lastBlock_.start();
    const CapturedBlock& block = session_.capture.history.At(session_.capture.history.Size() - 1);
    if (!out_.Append(out_.Blocks() + 1, block))
        return End(DeviceOrFileError, WriteFailure());
    if (options_.single || (options_.blocks && out_.Blocks() >= *options_.blocks))
        End(Done);
}

// A few times a second: start once connected, the limits of time, the progress line.
void Recorder::Watch() {
    if (ending_)
        return Close();
    const auto& acq = state_.acq;
    if (probeFailed_)
        return End(DeviceOrFileError, Tr("the device does not answer: check that it is connected and on"));
    if (!started_) {
        // Not inside the connection's settling pause: the probe must have gone out first.
        const bool connected = views.startEnabled && session_.Com1.IsOpen() && acq.ProbeCountdown == 0;
        // The first tick after the probe turns the knobs to what the command line set.
        if (!connected || acq.SeenTimebase != views.timebase ||
            acq.SeenTriggerLevel != state_.trigger.TriggerLevel)
            return;
        started_ = true;
        since_.start();
        lastBlock_.start();
        if (options_.single)
            session_.SingleShot();
        else
            session_.Start();
        return;
    }
    if (options_.durationMs && since_.elapsed() >= *options_.durationMs)
        return End(Done);
    if (options_.timeoutMs && lastBlock_.elapsed() >= *options_.timeoutMs) {
        if (views.deviceMissing)
            return End(DeviceOrFileError, Tr("no block before the time-out: the device is missing"));
        return End(NoTrigger, Tr("no block before the time-out: no trigger"));
    }
    progress_.Show({out_.Blocks(), double(since_.elapsed()) / 1000, out_.Bytes(), views.waitingForTrigger,
                    views.deviceMissing});
}

// Stops asking for blocks at once; the port closes at the next watch, outside any tick.
void Recorder::End(int status, const std::string& message) {
    if (ending_)
        return;
    ending_ = true;
    status_ = status;
    if (!message.empty())
        progress_.Say(message);
    if (state_.acq.Running)
        session_.Stop();
    watch_.start(0);
}

void Recorder::Close() {
    watch_.stop();
    session_.Timer1.stop();
    session_.ClosePort();
    if (!out_.Finish() && status_ == Done) {
        status_ = DeviceOrFileError;
        progress_.Say(WriteFailure());
    }
    if (OnEnd)
        OnEnd(status_);
}

std::string Recorder::WriteFailure() const {
    return std::string(Tr("cannot write: ")) +
           (out_.NotOneBlock() ? std::string(Tr("a .drg data file holds one block: use --single"))
                               : ErrnoText(out_.Error()));
}
