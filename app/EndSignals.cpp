#include "EndSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int wakeFd = -1; // the handler's end of the pair

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto n = write(wakeFd, &byte, 1); // a full pipe already holds a wake-up
}

} // namespace

void EndOnSignals(QObject& owner, std::function<void()> end) {
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0)
        return; // the signals then end the program as they always did
    wakeFd = pair[0];
    auto* notifier = new QSocketNotifier(pair[1], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, &owner, [fd = pair[1], end = std::move(end)] {
        char bytes[16];
        while (read(fd, bytes, sizeof bytes) > 0) {
        }
        end();
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGHUP, SIGINT})
        sigaction(s, &sa, nullptr);
}
