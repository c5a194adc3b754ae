#pragma once
// Lets the event loop run until a condition holds, for tests with or without windows.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

// Runs the event loop until `until` holds or ms pass; false on time-out.
template <class Pred> bool RunUntil(Pred until, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!until()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}
