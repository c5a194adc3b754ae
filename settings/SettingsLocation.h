#pragma once
// Where "drganik.ini" lives. An installed program (its pictures in ../share/drganik/data, none
// beside it) keeps the file in the user's configuration folder, so it never writes beside itself,
// even run as root. A build tree or a copied folder keeps it beside the program while that folder
// is writable. Nothing is created at start: the first save makes the folder and the file.

#include <string>

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir);

// True for a program in <prefix>/bin with its pictures in <prefix>/share/drganik/data.
bool IsInstalledProgram(const std::string& programDir);

// The file beside the program, set up for every user: read until the user's own file exists.
std::string ProgramSettingsFile(const std::string& programDir);

// Makes the folder the settings file goes into, before a save: the user's configuration
// folder does not exist until then. A refusal shows as the save's own write error.
void MakeSettingsFolder(const std::string& settingsPath);
