#include "PortDevice.h"

#include "CommPort.h"
#include "SettingsFile.h"

std::string PortName(int port) {
    return "COM" + std::to_string(port);
}

std::string MappedDevicePath(const SettingsFile& ini, const std::string& name) {
    const auto mapped = ini.ReadString("PORTS", name, "");
    return mapped.empty() ? DefaultDevicePath(name) : mapped;
}
