// The open sequence of the serial port component: the device, exclusive use,
// the line settings, the queue sizes and the threads' wake-ups.

#include "CommLink.h"
#include "CommTrace.h"
#include "DeviceAccess.h"
#include "LineTermios.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <termios.h>

using namespace commlink;

std::shared_ptr<TCustomCommPort::Link> TCustomCommPort::OpenLink(const std::string& path) const {
    auto link = std::make_shared<Link>();
    link->trace = CommTraceRequested();
    // Before the device is touched: a terminal program holding it keeps its line as it is.
    link->uucpLock = UucpLock::Take(path, LockFolder);

    link->fd.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    int err = errno;
    // Exclusive use: the lock keeps out other opens of this process and of
    // cooperating programs; TIOCEXCL (set by Open) keeps out everyone else but root.
    if (link->fd.Valid() && flock(link->fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        err = errno;
        link->fd.Reset();
    }
    if (!link->fd.Valid()) {
        CommTrace(link->trace, "open " + path + " refused", err);
        if (err == ENOENT)
            Fail("Specified device not found (" + path + ").");
        std::string message = "Can't open specified device " + path + " (Error " + std::to_string(err) +
                              ", " + std::strerror(err) + ")";
        // A refusal by permissions: say which group may use the device.
        if (const auto group = err == EACCES ? AccessGroup(path) : std::string(); !group.empty())
            message += "\n" + AccessHintText(path, group);
        Fail(message);
    }
    CommTrace(link->trace, "opened " + path);

    if (updateDCB_)
        SetLine(link->fd.Get());

    if (Buffers.ReadSize <= 0 || Buffers.WriteSize <= 0)
        FailErrno("Error initializing buffers (%d), %s", EINVAL);
    link->readSize = std::size_t(Buffers.ReadSize);
    link->writeSize = std::size_t(Buffers.WriteSize);
    link->holdoffMs = rxHoldoffMs_;
    link->notifyLatencyMs = rxNotifyLatencyMs_;

    link->rxWake.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    link->txWake.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    link->ownerTimer.Reset(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
    if (!link->rxWake.Valid() || !link->txWake.Valid() || !link->ownerTimer.Valid())
        FailErrno(" Error setting EventMask (%d), %s", errno);
    return link;
}

void TCustomCommPort::SetLine(int fd) const {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        FailErrno("Error writing dcb (%d), %s", errno);
    if (!MakeLineTermios(Line, t))
        FailErrno("Error writing dcb (%d), %s", EINVAL);
    if (tcsetattr(fd, TCSANOW, &t) != 0)
        FailErrno("Error writing dcb (%d), %s", errno);
    int lines = 0;
    if (Line.FlowControl.ControlDtr != dtrDisabled)
        lines |= TIOCM_DTR;
    if (Line.FlowControl.ControlRts != rtsDisabled)
        lines |= TIOCM_RTS;
    // Pseudo-terminals have no modem lines and refuse with EINVAL/ENOTTY.
    if (lines && ioctl(fd, TIOCMBIS, &lines) != 0 && errno != EINVAL && errno != ENOTTY)
        FailErrno("Error writing dcb (%d), %s", errno);
}
