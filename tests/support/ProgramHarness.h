#pragma once
// The program as the entry point builds it, run in a working folder of the
// test's choice, plus a helper to let the event loop run. The windows' controls
// are reached through the windows' own methods, so a renamed control fails to compile.

#include "Program.h"
#include "RunUntil.h"
#include "TempDir.h"

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
