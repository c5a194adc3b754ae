#pragma once
// SIGINT and SIGTERM as an event of the loop: the handler only writes a byte to a
// pipe, and the run ends from the loop between blocks, so the file stays whole.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

class StopSignals {
  public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

  private:
    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};
