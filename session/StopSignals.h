#pragma once
// SIGINT, SIGTERM and SIGHUP (Ctrl+C, a logout, a closed terminal or SSH session) as an event
// of the loop: the handler only writes a byte to a pipe, and the program ends from the loop as
// it would by itself (between blocks, the port closed, files whole, the session kept).

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
