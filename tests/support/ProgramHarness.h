#pragma once
// The program as the entry point builds it, run in a working folder of the
// test's choice, plus a helper to let the event loop run. The windows' controls
// are reached through the windows' own methods, so a renamed control fails to compile.

#include "Program.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <string>

// A scratch working folder, with the trigger-switch pictures in data/ unless told otherwise.
struct WorkingFolder {
    explicit WorkingFolder(bool withPictures);
    ~WorkingFolder();
    TempDir cwd;
    std::filesystem::path old;
};

struct TestProgram : WorkingFolder, Program {
    explicit TestProgram(const std::string& ini, bool withPictures = true, const std::string& port = {})
        : WorkingFolder(withPictures), Program(ini, {}, port) {}
};

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
