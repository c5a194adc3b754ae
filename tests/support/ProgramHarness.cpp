#include "ProgramHarness.h"

WorkingFolder::WorkingFolder(bool withPictures) {
    if (withPictures)
        std::filesystem::copy(DRGANIK_SOURCE_DIR "/data", cwd.path / "data");
    old = std::filesystem::current_path();
    std::filesystem::current_path(cwd.path);
}

WorkingFolder::~WorkingFolder() {
    std::filesystem::current_path(old);
}
