#pragma once
// Inside the serial port component: what one open session shares with its
// receive and write threads, and the small helpers its files share.

#include "CommPort.h"
#include "FdHandle.h"
#include "UucpLock.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

struct TCustomCommPort::Link {
    UucpLock uucpLock; // first, so it is released last, once the device is closed
    FdHandle fd;
    FdHandle rxWake;
    FdHandle txWake;
    FdHandle ownerTimer; // runs out a notification latency after the owner last found bytes
    std::size_t readSize = 0;
    std::size_t writeSize = 0;
    std::atomic<int> holdoffMs{0};
    bool trace = false; // errno and hang-up events on standard error

    std::mutex deviceLock; // input queue, reads, purges
    std::vector<std::uint8_t> input;

    std::mutex queueLock; // send queue and the purge handshake
    std::condition_variable purgeDone;
    std::vector<std::uint8_t> sendQueue;
    bool purgeRequest = false;
    bool purgeAck = false;
    bool txEnded = false;

    std::atomic<bool> stop{false};
    std::atomic<int> notifyLatencyMs{0};
    std::atomic<bool> notifyPending{false};             // bytes came that no notification has told of yet
    std::atomic<bool> notifyPosted{false};              // a notification waits in the GUI thread's queue
    std::chrono::steady_clock::time_point pendingSince; // receive thread only
    std::atomic<bool> lineLost{false};                  // hang-up or I/O error: the threads have ended
    // When the owner last took bytes it read from the device itself (DeliverPending).
    std::atomic<std::chrono::steady_clock::time_point> ownerTookAt{};
    std::chrono::steady_clock::time_point ownerTimerDue; // as the owner last set ownerTimer; GUI thread only
    std::optional<int> serialFlags; // the driver's flags before low latency was asked for

    std::thread rx;
    std::thread tx;

    std::size_t Queued() {
        std::lock_guard lock(deviceLock);
        return input.size();
    }
    // Moves what the device holds into the input queue as far as there is room; the caller
    // holds deviceLock. The bytes moved, or -1 (errno set) when the device failed first.
    ssize_t PullLocked();
    // The receive thread's pause after taking bytes; only a stop ends it early.
    void HoldOff();
    // The milliseconds a poll may wait before an owed notification must be posted, or -1.
    int UntilPostDue() const;
    // How long the receive thread may leave the device to an owner that reads it at its own
    // wake-ups: until a notification latency has passed since it last found bytes there.
    int OwnerReadsFor() const;
    // Sets ownerTimer to run out then: the owner moves it on at every take, so the receive
    // thread standing by wakes only once the owner has stopped.
    void ArmOwnerTimer() const;
    // The receive thread while the owner reads the device: until a wake-up or the timer.
    void StandByForOwner();
    // The write thread's turn under the queue lock: a purge answered, or the next chunk taken.
    void TakeSendWork(std::vector<std::uint8_t>& chunk, std::size_t& done);
};

// The component's own small helpers, shared by its files and by nothing else.
namespace commlink {

// Replaces the first "%d" of a pattern; no printf, so a pattern can never read stray arguments.
std::string Format(const std::string& pattern, int number);
[[noreturn]] void Fail(const std::string& text);
// "<message> (<errno>), <text>" for the messages that carry the platform's error.
[[noreturn]] void FailErrno(const char* pattern, int err);

void Wake(int eventFd);
void Drain(int eventFd);
// Best effort: a refused priority is ignored.
void ApplyPriority(TThreadPriority p);

inline bool Transient(int err) {
    return err == EAGAIN || err == EINTR;
}

} // namespace commlink
