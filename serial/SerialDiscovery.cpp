#include "SerialDiscovery.h"

#include "FdHandle.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/serial.h>
#include <optional>
#include <set>
#include <string_view>
#include <sys/ioctl.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFamilies[] = {"ttyACM", "ttyUSB", "ttyS"};
constexpr std::size_t kOther = std::size(kFamilies);

// Family index and number of a kernel name ("ttyUSB10" -> {1, 10}); {kOther, 0} for any other name.
std::pair<std::size_t, unsigned long> FamilyOf(std::string_view name) {
    for (std::size_t i = 0; i < kOther; ++i) {
        if (!name.starts_with(kFamilies[i]))
            continue;
        const std::string_view digits = name.substr(kFamilies[i].size());
        unsigned long n = 0;
        const auto [end, err] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (!digits.empty() && end == digits.data() + digits.size())
            return {i, err == std::errc() ? n : ULONG_MAX};
    }
    return {kOther, 0};
}

// First line of a sysfs attribute without surrounding blanks; empty when absent.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The USB device a tty belongs to: the nearest ancestor of its sysfs device that carries USB ids.
fs::path UsbDeviceOf(const fs::path& ttyDir, const fs::path& sysTop) {
    std::error_code ec;
    for (fs::path dir = fs::canonical(ttyDir / "device", ec); !ec && dir.has_relative_path() && dir != sysTop;
         dir = dir.parent_path())
        if (fs::exists(dir / "idVendor", ec))
            return dir;
    return {};
}

std::string Describe(const fs::path& ttyDir, const fs::path& sysTop) {
    std::vector<std::string> parts;
    if (const fs::path usb = UsbDeviceOf(ttyDir, sysTop); !usb.empty()) {
        std::string name = Attribute(usb / "manufacturer");
        if (const std::string product = Attribute(usb / "product"); !product.empty())
            name += (name.empty() ? "" : " ") + product;
        parts.push_back(name);
        if (const std::string serial = Attribute(usb / "serial"); !serial.empty())
            parts.push_back("nr ser. " + serial);
        parts.push_back("USB " + Attribute(usb / "idVendor") + ":" + Attribute(usb / "idProduct"));
    } else {
        // An on-board UART: its I/O address and interrupt tell COM1 from COM2.
        const std::string port = Attribute(ttyDir / "port");
        if (std::strtoul(port.c_str(), nullptr, 16) != 0)
            parts.push_back("port " + port);
        if (const std::string irq = Attribute(ttyDir / "irq"); !irq.empty() && irq != "0")
            parts.push_back("IRQ " + irq);
    }
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty())
            text += (text.empty() ? "" : ", ") + part;
    return text;
}

std::optional<int> DriverUartType(const fs::path& node) {
    FdHandle fd(::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    serial_struct info{};
    if (!fd.Valid() || ::ioctl(fd.Get(), TIOCGSERIAL, &info) != 0)
        return std::nullopt;
    return info.type;
}

// A PC declares up to 32 ttyS ports whether or not a UART sits behind them; the serial core's "type"
// attribute is 0 (unknown) for the empty ones. Opening a port raises its modem lines, so the driver is
// asked only when sysfs is silent; when nothing can tell, the port is listed rather than hidden.
bool HasUart(const fs::path& ttyDir, const fs::path& node, bool askDriver) {
    if (const std::string type = Attribute(ttyDir / "type"); !type.empty())
        return type != "0";
    const std::optional<int> type = askDriver ? DriverUartType(node) : std::nullopt;
    return type.value_or(PORT_UNKNOWN + 1) != PORT_UNKNOWN;
}

} // namespace

std::vector<SerialDevice> DiscoverSerialDevices(const DiscoveryRoots& roots) {
    const fs::path dev = roots.dev;
    const fs::path classTty = fs::path(roots.sys) / "class" / "tty";
    std::error_code ec;
    const fs::path sysTop = fs::canonical(roots.sys, ec);

    std::vector<SerialDevice> found;
    std::set<std::string> listed;
    const auto add = [&](const std::string& stable, const std::string& name) {
        if (listed.insert(name).second)
            found.push_back({stable, (dev / name).string(), Describe(classTty / name, sysTop)});
    };

    // udev makes these links as "../../ttyUSB0"; the node they name is taken from our own dev root.
    for (const auto& link : fs::directory_iterator(dev / "serial" / "by-id", ec)) {
        const std::string name = fs::read_symlink(link.path(), ec).filename().string();
        if (!ec && !name.empty() && fs::exists(dev / name, ec))
            add(link.path().string(), name);
    }
    for (const auto& node : fs::directory_iterator(dev, ec)) {
        const std::string name = node.path().filename().string();
        const std::size_t family = FamilyOf(name).first;
        if (family == kOther ||
            (kFamilies[family] == "ttyS" && !HasUart(classTty / name, node, roots.askDriver)))
            continue;
        add({}, name);
    }

    const auto key = [](const SerialDevice& d) {
        const std::string name = fs::path(d.kernelPath).filename().string();
        return std::tuple(d.stablePath.empty(), FamilyOf(name), name);
    };
    std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    return found;
}
