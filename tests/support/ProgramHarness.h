#pragma once
// The program as the entry point builds it, run in a working folder of the
// test's choice, plus a helper to let the event loop run. The windows' controls
// are reached through the windows' own methods, so a renamed control fails to compile.

#include "Program.h"
#include "RunUntil.h"
#include "TempDir.h"

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

// A control of a window by its object name, for tests that act on it as a user would
// (events, filters); the windows hand out read-only queries only.
template <class T = QWidget> T& Control(QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw std::logic_error(std::string("no control ") + name);
    return *control;
}

struct TestProgram : WorkingFolder, Program {
    explicit TestProgram(const std::string& ini, bool withPictures = true, const std::string& port = {})
        : WorkingFolder(withPictures), Program(ini, {}, port) {}
};
