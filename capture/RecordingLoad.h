#pragma once
// Opening a recording in a thread of its own, so the windows go on answering while
// a long file is indexed. The owner asks how far it has got and takes the result.

#include "Recording.h"

#include <atomic>
#include <string>
#include <thread>

class RecordingLoad {
  public:
    explicit RecordingLoad(const std::string& path);
    ~RecordingLoad(); // stops the reading and waits for the thread
    RecordingLoad(const RecordingLoad&) = delete;
    RecordingLoad& operator=(const RecordingLoad&) = delete;

    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    double Progress() const; // 0 to 1
    // Once finished: what the reading gave.
    Recording::Opened Take();

  private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::uint64_t> bytesRead_{0};
    std::atomic<std::uint64_t> fileBytes_{0};
    Recording::Opened result_; // written by the thread before finished_, read after
    std::thread thread_;
};
