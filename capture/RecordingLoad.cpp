#include "RecordingLoad.h"

#include <algorithm>

RecordingLoad::RecordingLoad(const std::string& path)
    : thread_([this, path] {
          result_ = Recording::Open(path, stop_, bytesRead_, fileBytes_);
          finished_.store(true, std::memory_order_release);
      }) {}

RecordingLoad::~RecordingLoad() {
    stop_ = true;
    thread_.join();
}

double RecordingLoad::Progress() const {
    const std::uint64_t size = fileBytes_.load(std::memory_order_relaxed);
    return size == 0 ? 0.0 : std::min(1.0, double(bytesRead_.load(std::memory_order_relaxed)) / double(size));
}

Recording::Opened RecordingLoad::Take() {
    return Finished() ? std::move(result_) : Recording::Opened{};
}
