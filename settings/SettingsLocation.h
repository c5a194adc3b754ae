#pragma once
// Where "drganik.ini" lives: beside the program when that folder is writable,
// otherwise in the user's own configuration folder, which starts from the one
// beside the program (set up for every user) until the user saves.

#include <string>

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir);

// The file beside the program, which a user's own file starts from (its [PORTS], say).
std::string ProgramSettingsFile(const std::string& programDir);
