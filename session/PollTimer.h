#pragma once
// The poll timer of the acquisition cycle, on the GUI thread. An interval of
// 0 or less leaves it stopped: a 0-ms timer would spin.
//
// A timer descriptor watched by the event loop rather than a QTimer: a QTimer
// does not fire again while its handler runs, and ticks must go on inside the
// pauses and message boxes a tick opens (time-outs keep counting there). A
// QTimer handed on through a queued call would do it too, at the cost of a
// posted event and one more turn of the event loop at every tick.

#include "FdHandle.h"

#include <QObject>
#include <functional>

class QSocketNotifier;

class PollTimer : public QObject {
    Q_OBJECT
  public:
    PollTimer();
    ~PollTimer() override;
    void SetTimerInterval(int ms);
    void stop();
    int interval() const { return interval_; }
    bool isActive() const { return active_; }

    std::function<void(int ms)> OnInterval; // after every change of the interval

  signals:
    void timeout();

  private:
    void Arm(int ms);

    FdHandle fd_;
    QSocketNotifier* notifier_ = nullptr;
    int interval_ = 0;
    bool active_ = false;
};
