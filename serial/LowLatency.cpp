#include "LowLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

std::optional<int> RequestLowLatency(int fd) {
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0)
        return std::nullopt;
    const int before = info.flags;
    if (before & ASYNC_LOW_LATENCY)
        return std::nullopt; // already so: nothing to undo
    info.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &info) != 0)
        return std::nullopt;
    return before;
}

void RestoreSerialFlags(int fd, int flags) {
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0)
        return;
    info.flags = (info.flags & ~ASYNC_LOW_LATENCY) | (flags & ASYNC_LOW_LATENCY);
    ioctl(fd, TIOCSSERIAL, &info);
}
