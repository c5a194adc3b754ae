#include "AutosetRun.h"

#include "PollTimer.h"
#include "ProgramState.h"
#include "RangeTables.h"

#include <span>
#include <utility>

namespace {

// After each move of the T/dz knob one block still comes at the old T/dz; more in a
// row mean someone else is turning it.
constexpr int MostPassedOver = 2;

// Ticks without a byte after which the instrument is taken for silent: two of the
// cycle's reply time-outs with their recovery waits (a run that waited for a trigger
// the signal never reaches is answered after one).
int NoSignalTicks(const Settings& settings) {
    return 2 * (settings.Timeout1 + settings.Czekaj1);
}

const char* const NoSignal = "Brak sygnału: urządzenie nie odpowiada";
const char* const NotConnected = "Autoset: najpierw połącz się z urządzeniem";
const char* const Interrupted = "Autoset przerwany";

std::string Message(const AutosetResult& r) {
    const std::string timebase = TimebaseTable[std::size_t(r.timebase)].Text;
    const std::string volt = VoltTable[std::size_t(r.volt)].Text;
    switch (r.outcome) {
    case AutosetOutcome::Periodic:
        return "Autoset: " + timebase + "/dz, " + volt + "/dz, wyzwalanie zboczem narastającym";
    case AutosetOutcome::TooFast:
        return "Autoset: sygnał za szybki lub szum, " + timebase + "/dz";
    case AutosetOutcome::TooSlow:
        return "Autoset: sygnał za wolny, " + timebase + "/dz";
    case AutosetOutcome::Unsettled:
        return "Autoset: sygnał niestabilny, " + timebase + "/dz";
    case AutosetOutcome::Constant:
        break;
    }
    return "Autoset: sygnał stały, " + volt + "/dz, bez wyzwalania";
}

} // namespace

AutosetRun::AutosetRun(PollTimer& ticks, const ProgramState& state, AutosetControls& controls,
                       AcquisitionSession::Guard guard)
    : state_(state), controls_(controls) {
    // Connected after the session's own handler: each tick sees what the cycle's tick received.
    tick_ = QObject::connect(&ticks, &PollTimer::timeout,
                             [this, guard = std::move(guard)] { guard([this] { Tick(); }); });
}

AutosetRun::~AutosetRun() {
    QObject::disconnect(tick_);
}

void AutosetRun::Begin() {
    search_.reset();
    if (!controls_.Connected())
        return Finish(NotConnected);
    search_.emplace();
    silentTicks_ = taken_ = passedOver_ = 0;
    lastRxCount_ = state_.acq.RxCount;
    controls_.SetTriggerMode(0);
    controls_.SetVolt(AutosetSearch::StartVolt);
    controls_.SetPositionMv(AutosetSearch::StartPositionMv);
    controls_.SetTimebase(search_->WantedTimebase());
    if (!controls_.Acquiring())
        controls_.StartAcquiring();
}

void AutosetRun::BlockShown(const SampleBuffer& samples, int timebase) {
    if (!Running())
        return;
    ++taken_;
    silentTicks_ = 0;
    const bool wanted = timebase == search_->WantedTimebase();
    const auto result = search_->Take(std::span(samples).first<500>(), timebase);
    if (result) {
        Apply(*result);
        return Finish(Message(*result), result);
    }
    passedOver_ = wanted ? 0 : passedOver_ + 1;
    if (passedOver_ > MostPassedOver)
        return Finish(Interrupted);
    controls_.SetTimebase(search_->WantedTimebase());
}

// A block's bytes come over several ticks, and a slow T/dz's samples one by one: any
// byte is a sign of life. Stopped by the user, the run ends.
void AutosetRun::Tick() {
    if (!Running())
        return;
    if (!controls_.Acquiring())
        return Finish(Interrupted);
    if (std::exchange(lastRxCount_, state_.acq.RxCount) != state_.acq.RxCount)
        silentTicks_ = 0;
    else if (++silentTicks_ >= NoSignalTicks(state_.settings))
        Finish(NoSignal);
}

void AutosetRun::Apply(const AutosetResult& r) {
    controls_.SetTimebase(r.timebase);
    controls_.SetVolt(r.volt);
    controls_.SetPositionMv(r.positionMv);
    controls_.SetTriggerLevel(r.triggerLevel);
    controls_.SetTriggerMode(r.triggerMode);
    if (!controls_.Acquiring())
        controls_.StartAcquiring();
}

void AutosetRun::Finish(std::string message, std::optional<AutosetResult> result) {
    AutosetEnd end{std::move(message), std::move(result), search_ ? search_->BlocksUsed() : 0, taken_};
    search_.reset();
    if (OnFinished)
        OnFinished(end);
}
