#include "CommPort.h"

#include "CommLink.h"
#include "LowLatency.h"

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

using namespace commlink;

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

void TCustomCommPort::SetRxHoldoffMs(int ms) {
    rxHoldoffMs_ = std::max(0, ms);
    if (link_)
        link_->holdoffMs = rxHoldoffMs_;
}

void TCustomCommPort::SetRxNotifyLatencyMs(int ms) {
    rxNotifyLatencyMs_ = std::max(0, ms);
    if (link_) {
        link_->notifyLatencyMs = rxNotifyLatencyMs_;
        Wake(link_->rxWake.Get()); // a receive thread waiting on the old latency looks again
    }
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
    auto link = OpenLink(DevicePath());
    const std::weak_ptr<Link> weak = link;
    if (monitorEvents_.count(ceRxChar))
        link->rx = std::thread([this, raw = link.get(), weak, prio = EventPriority] {
            ApplyPriority(prio);
            ReceiveLoop(*raw, weak);
        });
    if (!directWrite_)
        link->tx = std::thread([raw = link.get(), prio = WritePriority] {
            ApplyPriority(prio);
            WriteLoop(*raw);
        });
    // Named for anyone counting wake-ups per thread.
    if (link->rx.joinable())
        pthread_setname_np(link->rx.native_handle(), "comm-rx");
    if (link->tx.joinable())
        pthread_setname_np(link->tx.native_handle(), "comm-tx");

    // Last, when nothing can fail any more: the flag outlives a closed descriptor on a
    // pseudo-terminal, so only a successful open sets it and Close clears it again.
    ioctl(link->fd.Get(), TIOCEXCL);
    link->serialFlags = RequestLowLatency(link->fd.Get());
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
    if (link->serialFlags)
        RestoreSerialFlags(link->fd.Get(), *link->serialFlags);
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
                // With nothing queued the write thread holds nothing either: the bytes go out
                // from here, in order, and only what the device does not take now waits for
                // the thread. A request then costs no wake-up of it.
                std::size_t sent = 0;
                if (link.sendQueue.empty()) {
                    const ssize_t n = ::write(link.fd.Get(), bytes, std::size_t(count));
                    sent = n > 0 ? std::size_t(n) : 0;
                }
                if (sent < std::size_t(count)) {
                    link.sendQueue.insert(link.sendQueue.end(), bytes + sent, bytes + count);
                    Wake(link.txWake.Get());
                }
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
        link.PullLocked(); // what came while the receive thread held off
        out.assign(link.input.begin(), link.input.end());
        link.input.clear();
    }
    if (out.size() >= link.readSize)
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
        // An empty queue means the write thread holds nothing to send: no handshake, no
        // wake-up of either thread.
        if (!link.sendQueue.empty() && link.tx.joinable() && !link.txEnded) {
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
    const bool wasFull = link.input.size() >= link.readSize;
    link.input.clear();
    if (tcflush(link.fd.Get(), TCIOFLUSH) != 0 && !link.lineLost)
        FailErrno("Error clearing buffers (%d), %s", errno);
    if (wasFull)
        Wake(link.rxWake.Get()); // room again for a receive thread that waited on a full queue
}
