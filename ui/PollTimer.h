#pragma once
// The poll timer of the acquisition cycle, on the GUI thread. An interval of
// 0 or less leaves it stopped: a 0-ms timer would spin.

#include <QTimer>
#include <functional>

class PollTimer : public QTimer {
  public:
    PollTimer();
    void SetTimerInterval(int ms);

    std::function<void(int ms)> OnInterval; // after every change of the interval
};
