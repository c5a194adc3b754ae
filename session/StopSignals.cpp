#include "StopSignals.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int stopPipe = -1; // the write end, for the handler; one StopSignals at a time

void Handle(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe, &byte, 1); // a full pipe has its byte already
}

} // namespace

StopSignals::StopSignals(std::function<void()> onStop) {
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // no pipe: the signals keep their default, ending the program at once
    stopPipe = pipe_[1];
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, onStop = std::move(onStop)] {
        char bytes[16];
        while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
        }
        onStop();
    });
    struct sigaction sa {};
    sa.sa_handler = Handle;
    sa.sa_flags = SA_RESTART;
    sigemptyset(&sa.sa_mask);
    for (const int s : {SIGINT, SIGTERM, SIGHUP})
        sigaction(s, &sa, nullptr);
}

StopSignals::~StopSignals() {
    for (const int s : {SIGINT, SIGTERM, SIGHUP})
        signal(s, SIG_DFL);
    notifier_.reset();
    stopPipe = -1;
    for (const int fd : pipe_)
        if (fd >= 0)
            ::close(fd);
}
