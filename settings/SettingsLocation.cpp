#include "SettingsLocation.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir) {
    if (!IsInstalledProgram(programDir) && access(programDir.c_str(), W_OK) == 0)
        return ProgramSettingsFile(programDir);
    return (fs::path(userConfigDir) / "drganik.ini").string();
}

bool IsInstalledProgram(const std::string& programDir) {
    std::error_code ec;
    const fs::path dir(programDir);
    return !fs::exists(dir / "data" / "p0.bmp", ec) &&
           fs::exists(dir / ".." / "share" / "drganik" / "data" / "p0.bmp", ec);
}

std::string ProgramSettingsFile(const std::string& programDir) {
    return (fs::path(programDir) / "drganik.ini").string();
}

void MakeSettingsFolder(const std::string& settingsPath) {
    std::error_code ec;
    fs::create_directories(fs::path(settingsPath).parent_path(), ec);
}
