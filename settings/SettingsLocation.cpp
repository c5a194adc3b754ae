#include "SettingsLocation.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum DataFolder { InCurrentDir, BesideProgram, Installed };

std::string FileBesideProgram(const std::string& programDir) {
    return (fs::path(programDir) / "drganik.ini").string();
}

// The absolute folders of an XDG list, in order; relative ones are invalid and left out.
std::vector<std::string> ConfigDirs(const std::string& xdgConfigDirs) {
    std::vector<std::string> dirs;
    std::istringstream list(xdgConfigDirs);
    for (std::string dir; std::getline(list, dir, ':');)
        if (!dir.empty() && dir.front() == '/')
            dirs.push_back(dir);
    if (dirs.empty())
        dirs.push_back("/etc/xdg");
    return dirs;
}

} // namespace

std::array<std::string, 3> DataFolders(const std::string& programDir) {
    std::array<std::string, 3> folders;
    folders[InCurrentDir] = "data/";
    folders[BesideProgram] = programDir + "/data/";
    folders[Installed] = programDir + "/../share/drganik/data/";
    return folders;
}

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir) {
    if (!IsInstalledProgram(programDir) && access(programDir.c_str(), W_OK) == 0)
        return FileBesideProgram(programDir);
    return (fs::path(userConfigDir) / "drganik.ini").string();
}

bool IsInstalledProgram(const std::string& programDir) {
    std::error_code ec;
    const auto folders = DataFolders(programDir);
    return !fs::exists(folders[BesideProgram] + "p0.bmp", ec) &&
           fs::exists(folders[Installed] + "p0.bmp", ec);
}

std::string ProgramSettingsFile(const std::string& programDir, const std::string& xdgConfigDirs) {
    if (!IsInstalledProgram(programDir))
        return FileBesideProgram(programDir);
    const auto dirs = ConfigDirs(xdgConfigDirs);
    for (const std::string& dir : dirs) {
        std::error_code ec;
        const fs::path file = fs::path(dir) / "Drganik" / "drganik.ini";
        if (fs::exists(file, ec))
            return file.string();
    }
    return (fs::path(dirs.front()) / "Drganik" / "drganik.ini").string();
}

std::string ProgramSettingsFile(const std::string& programDir) {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    return ProgramSettingsFile(programDir, dirs ? dirs : "");
}

void MakeSettingsFolder(const std::string& settingsPath) {
    std::error_code ec;
    fs::create_directories(fs::path(settingsPath).parent_path(), ec);
}
