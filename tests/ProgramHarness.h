#pragma once
// The program's windows created in the entry's order, in a working folder of
// the test's choice, plus helpers to let the event loop run.

#include "ErrorBox.h"
#include "Main.h"
#include "Prefs.h"
#include "ProgramState.h"
#include "TempDir.h"
#include "Toolbox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <memory>

struct Program {
    explicit Program(const std::string& ini, bool withPictures = true) {
        if (withPictures)
            std::filesystem::copy(DRGANIK_SOURCE_DIR "/data", cwd.path / "data");
        old = std::filesystem::current_path();
        std::filesystem::current_path(cwd.path);
        w1 = std::make_unique<TW1>(state, errors);
        w1->show();
        w2 = std::make_unique<TW2>(state, errors, *w1, ini);
        form1 = std::make_unique<TForm1>(state, errors, *w1, *w2);
        w2->OnShowSettings = [this] { form1->show(); };
        w1->FormPaint();
    }
    ~Program() { std::filesystem::current_path(old); }

    TempDir cwd;
    std::filesystem::path old;
    ProgramState state;
    ErrorBox errors{QStringLiteral("Drganik")};
    std::unique_ptr<TW1> w1;
    std::unique_ptr<TW2> w2;
    std::unique_ptr<TForm1> form1;
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
