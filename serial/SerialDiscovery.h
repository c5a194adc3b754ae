#pragma once
// Finds the serial devices present, so the user can pick one from a list instead of typing a path.

#include <string>
#include <vector>

struct SerialDevice {
    std::string stablePath;  // its /dev/serial/by-id link, which survives re-plugging; empty if none
    std::string kernelPath;  // /dev/ttyUSB0
    std::string description; // "FTDI FT232R USB UART, nr ser. A1B2C3, USB 0403:6001"; empty if unknown
};

// Where the device nodes and sysfs live; tests point both at a fake tree.
struct DiscoveryRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    // Ask the driver (TIOCGSERIAL) about a ttyS port that sysfs says nothing about.
    bool askDriver = true;
};

// Devices with a by-id link first, then ttyACM, ttyUSB and ttyS (only those with a UART behind them),
// each family in numeric order (ttyUSB2 before ttyUSB10). Never opens a device except, when sysfs is
// silent, a ttyS port for one ioctl.
std::vector<SerialDevice> DiscoverSerialDevices(const DiscoveryRoots& roots = {});
