#pragma once
// The simulated instrument behind a pseudo-terminal: answers the probe,
// acquires one block per request frame at the requested time base and
// trigger, sends it at the line rate, and can misbehave on purpose.

#include "Signal.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <random>
#include <string>

constexpr std::size_t kUsbPiece = 62; // data bytes of a 64-byte USB packet after two status bytes

struct Faults {
    int dropEvery = 0;   // every Nth request gets no reply
    int garbleEvery = 0; // every Nth block carries a second word above 1024
    int extraBytes = 0;  // bytes sent after each block
    bool split = false;  // blocks go out in odd pieces with gaps
    int stallEvery = 0;  // every Nth request waits stallMs before acquiring
    int stallMs = 0;
    int hangupAfter = 0; // the device disappears after N blocks
    int recreateMs = -1; // ... and comes back after this many ms (never when negative)
};

struct Options {
    std::string link;
    SignalShape signal;
    bool fast = false; // no line pacing
    // Delivery like a USB serial adapter: what is due goes out in pieces of at most
    // pieceBytes, one piece every pieceMs (0: each chunk as soon as it is due).
    int pieceBytes = 0;
    double pieceMs = 0;
    // A USB adapter's chip: pieces of usbPiece bytes leave as soon as they are full, a
    // partial one when the latency timer (started by its first byte, restarted by every
    // piece sent) runs out. 0: no such chip.
    double usbLatencyMs = 0;
    Faults faults;
    std::string logFile;
};

class Instrument {
  public:
    explicit Instrument(Options options);
    ~Instrument();
    int Run(); // until SIGINT/SIGTERM, or a hang-up that is not recreated

  private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
        bool endsBlock = false;
    };

    void CreateDevice();
    void DestroyDevice();
    void OnBytes(const std::string& bytes);
    void OnRequest(const std::string& frame);
    void ScheduleBlock(int mode, int timebase, int level, Clock::time_point start);
    void Log(const std::string& line);
    // Writes due bytes, at most `limit` of them, in one write; returns how many went out.
    std::size_t SendDue(std::size_t limit);
    // When the USB chip sends next what is queued.
    Clock::time_point UsbSendAt() const;

    Options opt_;
    int master_ = -1;
    int slave_ = -1; // held open so the master never sees a hang-up between the program's opens
    std::string input_;
    std::deque<Chunk> out_;
    int requests_ = 0;
    int blocks_ = 0;
    std::mt19937 rng_;
    FILE* log_ = nullptr;
    Clock::time_point epoch_ = Clock::now();
    Clock::time_point nextPiece_ = epoch_; // the adapter's next delivery
    Clock::time_point usbSent_ = epoch_;   // the USB chip's last piece
};
