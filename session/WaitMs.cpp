#include "WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void WaitMs(int ms) {
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    // A nested loop that sleeps between events rather than spinning the CPU.
    for (qint64 left = ms - clock.elapsed(); left > 0; left = ms - clock.elapsed()) {
        QEventLoop loop;
        QTimer::singleShot(int(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
