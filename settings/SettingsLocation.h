#pragma once
// Where the program's files live. The data pictures are looked for in data/ of the current
// directory, then beside the program, then where an installation puts them. An installed program
// (its pictures there, none beside it) keeps "drganik.ini" in the user's configuration folder, so
// it never writes beside itself, even run as root; the file set up for every user is then in the
// system's configuration folders. A build tree or a copied folder keeps the file beside the
// program while that folder is writable. Nothing is created at start: the first save makes the
// folder and the file.

#include <array>
#include <string>

// The folders the data pictures are looked for in, first to last: "data/" of the current
// directory, "<programDir>/data/", "<programDir>/../share/drganik/data/" (<prefix>/bin and
// <prefix>/share/drganik/data). Each ends with a slash.
std::array<std::string, 3> DataFolders(const std::string& programDir);

std::string SettingsFilePath(const std::string& programDir, const std::string& userConfigDir);

// True for a program in <prefix>/bin with its pictures in <prefix>/share/drganik/data.
bool IsInstalledProgram(const std::string& programDir);

// The file set up for every user, read until the user's own file exists. For an installed
// program the first Drganik/drganik.ini found in the folders of `xdgConfigDirs` (a list with
// colons; /etc/xdg when empty), else the one in its first folder; otherwise the file beside the
// program.
std::string ProgramSettingsFile(const std::string& programDir, const std::string& xdgConfigDirs);

// As above with $XDG_CONFIG_DIRS.
std::string ProgramSettingsFile(const std::string& programDir);

// Makes the folder the settings file goes into, before a save: the user's configuration
// folder does not exist until then. A refusal shows as the save's own write error.
void MakeSettingsFolder(const std::string& settingsPath);
