#pragma once
// Which device a port number stands for: the [PORTS] entry of the settings file, else the port's default.

#include <string>

class SettingsFile;

std::string PortName(int port); // "COM3"
std::string MappedDevicePath(const SettingsFile& ini, const std::string& name);
