#pragma once
// Where "drganik.ini" lives: beside the program when that folder is writable,
// otherwise in the user's own configuration folder.

#include <string>

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir);
