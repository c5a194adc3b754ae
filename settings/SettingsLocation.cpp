#include "SettingsLocation.h"

#include <filesystem>
#include <unistd.h>

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir) {
    namespace fs = std::filesystem;
    if (access(programDir.c_str(), W_OK) == 0)
        return ProgramSettingsFile(programDir);
    std::error_code ec;
    fs::create_directories(userConfigDir, ec);
    return (fs::path(userConfigDir) / "drganik.ini").string();
}

std::string ProgramSettingsFile(const std::string& programDir) {
    return (std::filesystem::path(programDir) / "drganik.ini").string();
}
