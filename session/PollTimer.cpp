#include "PollTimer.h"

#include <QSocketNotifier>
#include <cstdint>
#include <stdexcept>
#include <sys/timerfd.h>
#include <unistd.h>

PollTimer::PollTimer() : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (!fd_.Valid())
        throw std::runtime_error("timerfd_create failed");
    notifier_ = new QSocketNotifier(fd_.Get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        // Expirations missed while the thread was busy give one tick, as a late QTimer does.
        std::uint64_t expired = 0;
        if (::read(fd_.Get(), &expired, sizeof expired) == sizeof expired && active_)
            emit timeout();
    });
}

PollTimer::~PollTimer() {
    delete notifier_; // before the descriptor it watches closes
}

void PollTimer::SetTimerInterval(int ms) {
    interval_ = ms;
    Arm(ms > 0 ? ms : 0);
    if (OnInterval)
        OnInterval(ms);
}

void PollTimer::stop() {
    Arm(0);
}

// Periodic from now; 0 disarms. Re-arming discards an expiration not yet read.
void PollTimer::Arm(int ms) {
    itimerspec spec{};
    spec.it_interval.tv_sec = ms / 1000;
    spec.it_interval.tv_nsec = long(ms % 1000) * 1000000L;
    spec.it_value = spec.it_interval;
    timerfd_settime(fd_.Get(), 0, &spec, nullptr);
    active_ = ms > 0;
}
