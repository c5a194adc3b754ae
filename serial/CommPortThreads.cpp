// The two threads of an open port: the receive loop fills the input queue and
// tells the GUI thread; the write loop drains the send queue to the device.
// A hang-up or an I/O error ends a loop quietly (the acquisition's time-out
// takes over); the optional trace says which.

#include "CommLink.h"
#include "CommTrace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

using namespace commlink;

namespace {

std::string Revents(short revents) {
    std::string text;
    if (revents & POLLHUP)
        text += " POLLHUP";
    if (revents & POLLERR)
        text += " POLLERR";
    if (revents & POLLNVAL)
        text += " POLLNVAL";
    return text;
}

} // namespace

int TCustomCommPort::Link::UntilPostDue() const {
    if (!notifyPending || notifyPosted)
        return -1;
    using namespace std::chrono;
    const auto left =
        ceil<milliseconds>(pendingSince + milliseconds(notifyLatencyMs.load()) - steady_clock::now());
    return int(std::max<long long>(0, left.count()));
}

int TCustomCommPort::Link::OwnerReadsFor() const {
    using namespace std::chrono;
    const auto took = ownerTookAt.load();
    if (notifyLatencyMs == 0 || took == steady_clock::time_point{})
        return 0;
    const auto left = ceil<milliseconds>(took + milliseconds(notifyLatencyMs.load()) - steady_clock::now());
    return int(std::max<long long>(0, left.count()));
}

void TCustomCommPort::Link::ArmOwnerTimer() const {
    using namespace std::chrono;
    // steady_clock is CLOCK_MONOTONIC here.
    const auto due = (ownerTookAt.load() + milliseconds(notifyLatencyMs.load())).time_since_epoch();
    itimerspec at{};
    at.it_value.tv_sec = duration_cast<seconds>(due).count();
    at.it_value.tv_nsec = long((duration_cast<nanoseconds>(due) % seconds(1)).count());
    timerfd_settime(ownerTimer.Get(), TFD_TIMER_ABSTIME, &at, nullptr);
}

void TCustomCommPort::Link::HoldOff() {
    using namespace std::chrono;
    const auto until = steady_clock::now() + milliseconds(holdoffMs.load());
    while (!stop) {
        const auto left = ceil<milliseconds>(until - steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd wake{rxWake.Get(), POLLIN, 0};
        if (poll(&wake, 1, int(left.count())) > 0)
            Drain(rxWake.Get());
    }
}

ssize_t TCustomCommPort::Link::PullLocked() {
    ssize_t moved = 0;
    std::uint8_t chunk[1024];
    while (input.size() < readSize) {
        const std::size_t want = std::min(sizeof chunk, readSize - input.size());
        const ssize_t n = ::read(fd.Get(), chunk, want);
        if (n <= 0)
            return moved > 0 ? moved : n; // 0: nothing there (VMIN and VTIME 0)
        input.insert(input.end(), chunk, chunk + n);
        moved += n;
        if (std::size_t(n) < want)
            break; // all there was: asking again would only hear so
    }
    return moved;
}

void TCustomCommPort::ReceiveLoop(Link& link, const std::weak_ptr<Link>& weak) {
    while (!link.stop) {
        // While the owner finds bytes at its own wake-ups it reads the device itself: this
        // thread only stands by for when it stops.
        if (link.OwnerReadsFor() > 0) {
            link.StandByForOwner();
            continue;
        }
        const int due = link.UntilPostDue();
        if (due == 0) {
            PostOnce(link, weak);
            continue;
        }
        const bool room = link.Queued() < link.readSize;
        pollfd fds[2] = {{link.rxWake.Get(), POLLIN, 0}, {link.fd.Get(), short(room ? POLLIN : 0), 0}};
        const int ready = poll(fds, 2, due);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            CommTrace(link.trace, "receive poll failed", errno);
            break;
        }
        if (ready == 0)
            continue; // an owed notification is due
        if (fds[0].revents)
            Drain(link.rxWake.Get());
        if (link.stop)
            break;
        if (fds[1].revents & POLLIN) {
            if (!TakeAnnounced(link, fds[1].revents, weak))
                break;
            continue;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            CommTrace(link.trace, "receive ended:" + Revents(fds[1].revents));
            link.lineLost = true;
            break;
        }
    }
    if (link.lineLost && link.notifyPending)
        PostOnce(link, weak); // nobody is left to post what the last bytes are owed
}

// One notification in flight at a time: a slow GUI is never flooded.
void TCustomCommPort::PostOnce(Link& link, const std::weak_ptr<Link>& weak) {
    if (!link.notifyPosted.exchange(true))
        gui_([this, weak] { NotifyReceived(weak); });
}

// What the device announced, into the input queue, its notification owed; false once the
// line is gone (unplugged: the thread ends quietly).
bool TCustomCommPort::TakeAnnounced(Link& link, short revents, const std::weak_ptr<Link>& weak) {
    std::unique_lock lock(link.deviceLock);
    const bool space = link.input.size() < link.readSize;
    const ssize_t n = space ? link.PullLocked() : 0;
    const int err = errno;
    lock.unlock();
    if (n > 0) {
        if (!link.notifyPending.exchange(true)) {
            link.pendingSince = std::chrono::steady_clock::now();
            if (link.notifyLatencyMs == 0)
                PostOnce(link, weak);
        }
        link.HoldOff();
        return true;
    }
    // With VMIN and VTIME 0 a read that a purge emptied returns 0: nothing now,
    // not a hang-up. Only the poll's hang-up or a real error ends the thread.
    const bool hungUp = (revents & (POLLHUP | POLLERR)) || (n < 0 && !Transient(err));
    if (space && hungUp) {
        CommTrace(link.trace, "receive ended:" + Revents(revents), n < 0 ? err : 0);
        link.lineLost = true;
        return false;
    }
    return true;
}

// Waits for a wake-up or for the owner's reading to lapse; a changed latency counts at once.
void TCustomCommPort::Link::StandByForOwner() {
    ArmOwnerTimer();
    pollfd fds[2] = {{rxWake.Get(), POLLIN, 0}, {ownerTimer.Get(), POLLIN, 0}};
    if (poll(fds, 2, -1) > 0) {
        if (fds[0].revents)
            Drain(rxWake.Get());
        if (fds[1].revents)
            Drain(ownerTimer.Get());
    }
}

// On the GUI thread.
void TCustomCommPort::NotifyReceived(const std::weak_ptr<Link>& weak) {
    const auto alive = weak.lock();
    if (!alive || alive != link_)
        return; // closed or reopened since
    alive->notifyPosted = false;
    Deliver(*alive, false);
}

void TCustomCommPort::DeliverPending() {
    if (const auto alive = link_) // kept alive through a handler that closes the port
        Deliver(*alive, true);
}

void TCustomCommPort::Deliver(Link& link, bool owner) {
    // Cleared before the device is read: bytes the receive thread takes meanwhile are
    // counted here and told once more, never left untold.
    const bool owed = link.notifyPending.exchange(false);
    std::size_t count = 0;
    ssize_t fresh = 0;
    {
        std::lock_guard lock(link.deviceLock);
        fresh = link.PullLocked(); // what came while the receive thread held off counts too
        count = link.input.size();
    }
    if (!owed && fresh <= 0)
        return; // told already
    if (owner && fresh > 0) {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        link.ownerTookAt = now;
        // Moved on only once half its wait has gone: the receive thread may wake once more
        // before it stands by again, the owner saves a call at every other take.
        if (link.ownerTimerDue - now < milliseconds(link.notifyLatencyMs.load()) / 2) {
            link.ownerTimerDue = now + milliseconds(link.notifyLatencyMs.load());
            link.ArmOwnerTimer();
        }
    }
    if (count > 0 && OnRxChar)
        OnRxChar(this, int(count));
}

// Under the queue lock: a purge answered (the chunk under way dropped with the queue), or
// the queue's bytes as the next chunk when none is under way.
void TCustomCommPort::Link::TakeSendWork(std::vector<std::uint8_t>& chunk, std::size_t& done) {
    std::lock_guard lock(queueLock);
    if (purgeRequest) {
        purgeRequest = false;
        purgeAck = true;
        // Dropped here, under the same lock: left for the purging thread to clear,
        // the next turn of the write loop could send it again.
        sendQueue.clear();
        purgeDone.notify_all();
        chunk.clear();
        done = 0;
    } else if (chunk.empty() && !sendQueue.empty()) {
        // Never right after a purge: the queue still holds what the purge drops.
        chunk = sendQueue;
        done = 0;
    }
}

void TCustomCommPort::WriteLoop(Link& link) {
    std::vector<std::uint8_t> chunk;
    std::size_t done = 0;
    for (;;) {
        link.TakeSendWork(chunk, done);
        if (link.stop)
            break;
        pollfd fds[2] = {{link.txWake.Get(), POLLIN, 0},
                         {link.fd.Get(), short(chunk.empty() ? 0 : POLLOUT), 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            CommTrace(link.trace, "write poll failed", errno);
            break;
        }
        if (fds[0].revents)
            Drain(link.txWake.Get());
        if (link.stop)
            break;
        if (!chunk.empty() && (fds[1].revents & POLLOUT)) {
            const ssize_t n = ::write(link.fd.Get(), chunk.data() + done, chunk.size() - done);
            if (n > 0) {
                done += std::size_t(n);
                if (done == chunk.size()) {
                    std::lock_guard lock(link.queueLock);
                    if (!link.purgeRequest)
                        link.sendQueue.erase(link.sendQueue.begin(),
                                             link.sendQueue.begin() + std::ptrdiff_t(chunk.size()));
                    chunk.clear();
                }
                continue;
            }
            const int err = errno;
            if (n < 0 && Transient(err))
                continue;
            CommTrace(link.trace, "write ended", n < 0 ? err : 0);
            link.lineLost = true;
            break;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            CommTrace(link.trace, "write ended:" + Revents(fds[1].revents));
            link.lineLost = true;
            break;
        }
    }
    std::lock_guard lock(link.queueLock);
    link.txEnded = true;
    link.sendQueue.clear();
    link.purgeDone.notify_all();
}
