#pragma once
// The program as the entry point builds it, run in a working folder of the
// test's choice, plus helpers to find a window's controls by their component
// names and to let the event loop run.

#include "Program.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <filesystem>
#include <stdexcept>
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

// A control of a window by its component name; throws when there is none.
template <class W> W& Child(const QWidget& window, const std::string& name) {
    auto* w = window.findChild<W*>(QString::fromStdString(name));
    if (!w)
        throw std::logic_error("no control " + name);
    return *w;
}

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
