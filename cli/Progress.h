#pragma once
// The progress line on standard error while recording, rewritten in place: only on
// a terminal and unless asked for quiet, so scripts and logs get nothing of it.

#include <chrono>
#include <cstdint>
#include <string>

class Progress {
  public:
    explicit Progress(bool quiet);
    ~Progress(); // ends the line

    struct Figures {
        std::uint64_t blocks = 0;
        double seconds = 0; // since the recording started
        std::uint64_t bytes = 0;
        bool waitingForTrigger = false;
        bool deviceMissing = false;
    };
    void Show(const Figures& figures);
    // A message on its own line, the progress line cleared first.
    void Say(const std::string& message);

    // "12 blocks, 3.9 blocks/s, 36 kB": what the line shows.
    static std::string Text(const Figures& figures);

  private:
    bool shown_;
    std::chrono::steady_clock::time_point last_{};
    bool dirty_ = false; // the line holds text
};
