#include "CommPort.h"

#include "FdHandle.h"
#include "LineTermios.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Replaces the first "%d" of a pattern; no printf, so a pattern can never read stray arguments.
std::string Format(const std::string& pattern, int number) {
    std::string text = pattern;
    if (const auto at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(number));
    return text;
}

[[noreturn]] void Fail(const std::string& text) {
    throw ECommPortError(text);
}

// "<message> (<errno>), <text>" for the messages that carry the platform's error.
[[noreturn]] void FailErrno(const char* pattern, int err) {
    std::string text = Format(pattern, err);
    if (const auto at = text.rfind("%s"); at != std::string::npos)
        text.replace(at, 2, std::strerror(err));
    Fail(text);
}

void Wake(int eventFd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(eventFd, &one, sizeof one);
}

void Drain(int eventFd) {
    std::uint64_t v;
    [[maybe_unused]] const auto n = ::read(eventFd, &v, sizeof v);
}

// Best effort: a refused priority is ignored.
void ApplyPriority(TThreadPriority p) {
    static constexpr int nice[] = {19, 10, 5, 0, -1, -2, -10};
    setpriority(PRIO_PROCESS, 0 /* calling thread on Linux */, nice[p]);
}

bool Transient(int err) {
    return err == EAGAIN || err == EINTR;
}

} // namespace

// Everything one open session shares with its two threads.
struct TCustomCommPort::Link {
    FdHandle fd;
    FdHandle rxWake;
    FdHandle txWake;
    std::size_t readSize = 0;
    std::size_t writeSize = 0;

    std::mutex deviceLock; // input queue, reads, purges
    std::vector<std::uint8_t> input;

    std::mutex queueLock; // send queue and the purge handshake
    std::condition_variable purgeDone;
    std::vector<std::uint8_t> sendQueue;
    bool purgeRequest = false;
    bool purgeAck = false;
    bool txEnded = false;

    std::atomic<bool> stop{false};
    std::atomic<bool> notifyPending{false};
    std::atomic<bool> lineLost{false}; // hang-up or I/O error: the threads have ended

    std::thread rx;
    std::thread tx;

    std::size_t Queued() {
        std::lock_guard lock(deviceLock);
        return input.size();
    }
};

TCustomCommPort::TCustomCommPort(TGuiDispatch gui) : gui_(std::move(gui)), resolver_(DefaultDevicePath) {}

TCustomCommPort::~TCustomCommPort() {
    ClosePauseMs = 0; // nobody waits to reopen a destroyed port
    Close();
}

std::string DefaultDevicePath(const std::string& name) {
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) {
        try {
            std::size_t used = 0;
            // 64 bits: any int port number, however odd, gives its name without overflow.
            const long long n = std::stoll(name.substr(3), &used);
            if (used == name.size() - 3)
                return "/dev/ttyS" + std::to_string(n - 1);
        } catch (const std::exception&) {
        }
    }
    return "/dev/" + name;
}

std::string TCustomCommPort::DevicePath() const {
    return resolver_(Format(deviceName_, portNum_));
}

bool TCustomCommPort::IsOpen() const {
    return link_ != nullptr;
}

void TCustomCommPort::RequireClosed() const {
    if (IsOpen())
        Fail("Can't perform this operation while port is open");
}

void TCustomCommPort::SetPortNum(int n) {
    RequireClosed();
    portNum_ = n;
}

void TCustomCommPort::SetDeviceName(const std::string& pattern) {
    RequireClosed();
    deviceName_ = pattern;
}

void TCustomCommPort::SetDirectWrite(bool on) {
    RequireClosed();
    directWrite_ = on;
}

void TCustomCommPort::SetUpdateDCB(bool on) {
    RequireClosed();
    updateDCB_ = on;
}

void TCustomCommPort::SetMonitorEvents(std::set<TCommEvent> events) {
    RequireClosed();
    monitorEvents_ = std::move(events);
}

void TCustomCommPort::SetDeviceResolver(TDeviceResolver resolver) {
    RequireClosed();
    resolver_ = std::move(resolver);
}

void TCustomCommPort::Open() {
    RequireClosed();
    const std::string path = DevicePath();
    auto link = std::make_shared<Link>();

    link->fd.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    int err = errno;
    // Exclusive use: the lock keeps out other opens of this process and of
    // cooperating programs; TIOCEXCL (below) keeps out everyone else but root.
    if (link->fd.Valid() && flock(link->fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        err = errno;
        link->fd.Reset();
    }
    if (!link->fd.Valid()) {
        if (err == ENOENT)
            Fail("Specified device not found (" + path + ").");
        Fail("Can't open specified device " + path + " (Error " + std::to_string(err) + ", " +
             std::strerror(err) + ")");
    }

    if (updateDCB_) {
        termios t{};
        if (tcgetattr(link->fd.Get(), &t) != 0)
            FailErrno("Error writing dcb (%d), %s", errno);
        if (!MakeLineTermios(Line, t))
            FailErrno("Error writing dcb (%d), %s", EINVAL);
        if (tcsetattr(link->fd.Get(), TCSANOW, &t) != 0)
            FailErrno("Error writing dcb (%d), %s", errno);
        int lines = 0;
        if (Line.FlowControl.ControlDtr != dtrDisabled)
            lines |= TIOCM_DTR;
        if (Line.FlowControl.ControlRts != rtsDisabled)
            lines |= TIOCM_RTS;
        // Pseudo-terminals have no modem lines and refuse with EINVAL/ENOTTY.
        if (lines && ioctl(link->fd.Get(), TIOCMBIS, &lines) != 0 && errno != EINVAL && errno != ENOTTY)
            FailErrno("Error writing dcb (%d), %s", errno);
    }

    if (Buffers.ReadSize <= 0 || Buffers.WriteSize <= 0)
        FailErrno("Error initializing buffers (%d), %s", EINVAL);
    link->readSize = std::size_t(Buffers.ReadSize);
    link->writeSize = std::size_t(Buffers.WriteSize);

    link->rxWake.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    link->txWake.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!link->rxWake.Valid() || !link->txWake.Valid())
        FailErrno(" Error setting EventMask (%d), %s", errno);

    const std::weak_ptr<Link> weak = link;
    if (monitorEvents_.count(ceRxChar)) {
        link->rx = std::thread([this, raw = link.get(), weak, prio = EventPriority] {
            ApplyPriority(prio);
            std::vector<std::uint8_t> chunk(raw->readSize);
            while (!raw->stop) {
                const bool room = raw->Queued() < raw->readSize;
                pollfd fds[2] = {{raw->rxWake.Get(), POLLIN, 0},
                                 {raw->fd.Get(), short(room ? POLLIN : 0), 0}};
                if (poll(fds, 2, -1) < 0) {
                    if (errno == EINTR)
                        continue;
                    break;
                }
                if (fds[0].revents)
                    Drain(raw->rxWake.Get());
                if (raw->stop)
                    break;
                if (fds[1].revents & POLLIN) {
                    std::unique_lock lock(raw->deviceLock);
                    const std::size_t space = raw->readSize - raw->input.size();
                    const ssize_t n = space ? ::read(raw->fd.Get(), chunk.data(), space) : 0;
                    const int err = errno;
                    if (n > 0) {
                        raw->input.insert(raw->input.end(), chunk.begin(), chunk.begin() + n);
                        lock.unlock();
                        // One notification in flight at a time: a slow GUI is never flooded.
                        if (!raw->notifyPending.exchange(true))
                            gui_([this, weak] {
                                const auto alive = weak.lock();
                                if (!alive || alive != link_)
                                    return; // closed or reopened since
                                alive->notifyPending = false;
                                const auto count = alive->Queued();
                                if (count > 0 && OnRxChar)
                                    OnRxChar(this, int(count));
                            });
                        continue;
                    }
                    // With VMIN and VTIME 0 a read that a purge emptied returns 0: nothing now,
                    // not a hang-up. Only the poll's hang-up or a real error ends the thread.
                    const bool hungUp = (fds[1].revents & (POLLHUP | POLLERR)) || (n < 0 && !Transient(err));
                    if (space && hungUp) {
                        raw->lineLost = true; // unplugged: end quietly
                        break;
                    }
                    continue;
                }
                if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                    raw->lineLost = true;
                    break;
                }
            }
        });
    }

    if (!directWrite_) {
        link->tx = std::thread([raw = link.get(), prio = WritePriority] {
            ApplyPriority(prio);
            std::vector<std::uint8_t> chunk;
            std::size_t done = 0;
            for (;;) {
                {
                    std::lock_guard lock(raw->queueLock);
                    if (raw->purgeRequest) {
                        raw->purgeRequest = false;
                        raw->purgeAck = true;
                        // Dropped here, under the same lock: left for the purging thread to clear,
                        // the next turn of this loop could send it again.
                        raw->sendQueue.clear();
                        raw->purgeDone.notify_all();
                        chunk.clear();
                        done = 0;
                    } else if (chunk.empty() && !raw->sendQueue.empty()) {
                        // Never right after a purge: the queue still holds what the purge drops.
                        chunk = raw->sendQueue;
                        done = 0;
                    }
                }
                if (raw->stop)
                    break;
                pollfd fds[2] = {{raw->txWake.Get(), POLLIN, 0},
                                 {raw->fd.Get(), short(chunk.empty() ? 0 : POLLOUT), 0}};
                if (poll(fds, 2, -1) < 0) {
                    if (errno == EINTR)
                        continue;
                    break;
                }
                if (fds[0].revents)
                    Drain(raw->txWake.Get());
                if (raw->stop)
                    break;
                if (!chunk.empty() && (fds[1].revents & POLLOUT)) {
                    const ssize_t n = ::write(raw->fd.Get(), chunk.data() + done, chunk.size() - done);
                    if (n > 0) {
                        done += std::size_t(n);
                        if (done == chunk.size()) {
                            std::lock_guard lock(raw->queueLock);
                            if (!raw->purgeRequest)
                                raw->sendQueue.erase(raw->sendQueue.begin(),
                                                     raw->sendQueue.begin() + std::ptrdiff_t(chunk.size()));
                            chunk.clear();
                        }
                        continue;
                    }
                    if (n < 0 && Transient(errno))
                        continue;
                    raw->lineLost = true;
                    break;
                }
                if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                    raw->lineLost = true;
                    break;
                }
            }
            std::lock_guard lock(raw->queueLock);
            raw->txEnded = true;
            raw->sendQueue.clear();
            raw->purgeDone.notify_all();
        });
    }

    // Last, when nothing can fail any more: the flag outlives a closed descriptor on a
    // pseudo-terminal, so only a successful open sets it and Close clears it again.
    ioctl(link->fd.Get(), TIOCEXCL);
    link_ = std::move(link);
    if (OnOpen)
        OnOpen(this);
}

void TCustomCommPort::CloseLink() {
    auto link = std::move(link_);
    link->stop = true;
    Wake(link->rxWake.Get());
    Wake(link->txWake.Get());
    // Join before the descriptor goes: a reused number must never reach a late thread.
    if (link->rx.joinable())
        link->rx.join();
    if (link->tx.joinable())
        link->tx.join();
    ioctl(link->fd.Get(), TIOCNXCL);
    link->fd.Reset();
}

void TCustomCommPort::Close() {
    if (!IsOpen())
        return;
    CloseLink();
    if (OnClose)
        OnClose(this);
    if (ClosePauseMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ClosePauseMs));
}

int TCustomCommPort::WriteBuffer(const void* data, int count) {
    if (!IsOpen() || count <= 0)
        return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    Link& link = *link_;
    if (link.lineLost)
        return count; // the line is gone; the acquisition's time-out takes over

    if (directWrite_) {
        int done = 0;
        while (done < count) {
            const ssize_t n = ::write(link.fd.Get(), bytes + done, std::size_t(count - done));
            if (n > 0) {
                done += int(n);
            } else if (n < 0 && Transient(errno)) {
                pollfd p{link.fd.Get(), POLLOUT, 0};
                if (poll(&p, 1, Buffers.WriteTimeout) == 0)
                    Fail("Output buffer is full. Please check comm status.");
            } else {
                FailErrno("Write error (%d), %s", errno);
            }
        }
        return count;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Buffers.WriteTimeout);
    for (;;) {
        {
            std::lock_guard lock(link.queueLock);
            if (link.txEnded)
                return count;
            if (link.sendQueue.size() + std::size_t(count) <= link.writeSize) {
                link.sendQueue.insert(link.sendQueue.end(), bytes, bytes + count);
                Wake(link.txWake.Get());
                return count;
            }
        }
        if (std::chrono::steady_clock::now() >= deadline)
            Fail("Output buffer is full. Please check comm status.");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool TCustomCommPort::WriteString(const std::string& bytes) {
    return WriteBuffer(bytes.data(), int(bytes.size())) == int(bytes.size());
}

std::string TCustomCommPort::ReadAll() {
    if (!IsOpen())
        return {};
    Link& link = *link_;
    std::string out;
    {
        std::lock_guard lock(link.deviceLock);
        out.assign(link.input.begin(), link.input.end());
        link.input.clear();
    }
    if (!out.empty())
        Wake(link.rxWake.Get()); // room again for a receive thread that waited on a full queue
    return out;
}

void TCustomCommPort::PurgeAll() {
    if (!IsOpen())
        return;
    Link& link = *link_;
    std::lock_guard device(link.deviceLock);
    {
        std::unique_lock lock(link.queueLock);
        if (link.tx.joinable() && !link.txEnded) {
            link.purgeRequest = true;
            link.purgeAck = false;
            Wake(link.txWake.Get());
            link.purgeDone.wait_for(lock, std::chrono::milliseconds(2000),
                                    [&] { return link.purgeAck || link.txEnded; });
            link.purgeRequest = false;
        }
        if (link.purgeAck || link.txEnded || !link.tx.joinable())
            link.sendQueue.clear();
    }
    link.input.clear();
    if (tcflush(link.fd.Get(), TCIOFLUSH) != 0 && !link.lineLost)
        FailErrno("Error clearing buffers (%d), %s", errno);
    Wake(link.rxWake.Get());
}
