#include "SerialDiscovery.h"

#include "DeviceAccess.h"
#include "TempDir.h"

#include <array>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A /dev and /sys as the kernel and udev lay them out, with relative links as they make them.
struct FakeTree {
    TempDir dir;
    fs::path dev = dir.path / "dev", sys = dir.path / "sys";

    void Link(const fs::path& at, const std::string& target) {
        fs::create_directories(at.parent_path());
        fs::create_symlink(target, at);
    }
    // Attribute files of a directory under /sys/devices.
    fs::path Attrs(const std::string& device,
                   std::initializer_list<std::pair<const char*, const char*>> attrs) {
        const fs::path at = sys / "devices" / device;
        fs::create_directories(at);
        for (const auto& [name, value] : attrs)
            TempDir::Put((at / name).string(), std::string(value) + "\n");
        return at;
    }
    // A tty's class directory below its device, with its class link and its "device" link.
    fs::path Tty(const std::string& device, const std::string& name, const std::string& deviceLink) {
        Link(sys / "class/tty" / name, "../../devices/" + device + "/tty/" + name);
        Link(sys / "devices" / device / "tty" / name / "device", deviceLink);
        return device + "/tty/" + name;
    }
};

} // namespace

TEST(SerialDiscovery, ListsRealPortsInOrderWithTheirDescriptions) {
    FakeTree t;
    const std::string usb = "pci0000:00/0000:00:14.0/usb1";
    t.Attrs(usb, {{"idVendor", "1d6b"}, {"idProduct", "0002"}}); // the root hub: the nearest ids must win

    // A usb-serial adapter: its tty sits under the port device, two levels below the USB device.
    t.Attrs(usb + "/1-1", {{"idVendor", "0403"},
                           {"idProduct", "6001"},
                           {"manufacturer", "FTDI"},
                           {"product", "FT232R USB UART  "},
                           {"serial", "A1B2C3"}});
    t.Tty(usb + "/1-1/1-1:1.0/ttyUSB3", "ttyUSB3", "../../../ttyUSB3");
    t.Link(t.dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", "../../ttyUSB3");
    t.Link(t.dev / "serial/by-id/usb-unplugged-if00-port0", "../../ttyUSB7");

    // A CDC-ACM board without a product name or serial number; its tty sits under the interface.
    t.Attrs(usb + "/1-2",
            {{"idVendor", "2341"}, {"idProduct", "0043"}, {"manufacturer", "Arduino (www.arduino.cc)"}});
    t.Tty(usb + "/1-2/1-2:1.0", "ttyACM0", "../../../1-2:1.0");

    // On-board UARTs: one real, one declared without hardware, one sysfs knows nothing about.
    t.Attrs(t.Tty("pnp0/00:00/00:00:0/00:00:0.0", "ttyS0", "../../../00:00:0.0"),
            {{"type", "4"}, {"port", "0x3F8"}, {"irq", "4"}});
    t.Attrs(t.Tty("platform/serial8250", "ttyS1", "../../../serial8250"), {{"type", "0"}});
    for (const char* name : {"ttyUSB3", "ttyACM0", "ttyS0", "ttyS1", "ttyS2", "ttyUSB2", "ttyUSB10", "tty5",
                             "ttyUSB", "ttyS1x", "console"})
        TempDir::Put((t.dev / name).string(), "");

    std::vector<std::array<std::string, 3>> got;
    for (const SerialDevice& d : DiscoverSerialDevices({t.dev.string(), t.sys.string(), false}))
        got.push_back({d.stablePath, d.kernelPath, d.description});
    const std::string dev = t.dev.string() + "/";
    const std::vector<std::array<std::string, 3>> want = {
        {dev + "serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0", dev + "ttyUSB3",
         "FTDI FT232R USB UART, nr ser. A1B2C3, USB 0403:6001"},
        {"", dev + "ttyACM0", "Arduino (www.arduino.cc), USB 2341:0043"},
        {"", dev + "ttyUSB2", ""},
        {"", dev + "ttyUSB10", ""},
        {"", dev + "ttyS0", "port 0x3F8, IRQ 4"},
        {"", dev + "ttyS2", ""},
    };
    EXPECT_EQ(got, want);
    EXPECT_TRUE(DiscoverSerialDevices({dev + "absent", dev + "absent", false}).empty());
}

TEST(DeviceAccess, NamesTheGroupThatMayReadAndWrite) {
    TempDir dir;
    const std::string node = dir.File("ttyUSB0");
    TempDir::Put(node, "");
    ASSERT_EQ(chmod(node.c_str(), 0660), 0);
    // The file's group is ours; root's group is never offered.
    const std::string mine = getegid() == 0 ? "" : getgrgid(getegid())->gr_name;
    EXPECT_EQ(AccessGroup(node), mine);
    ASSERT_EQ(chmod(node.c_str(), 0640), 0);
    EXPECT_EQ(AccessGroup(node), "");
    EXPECT_EQ(AccessGroup(dir.File("absent")), "");

    EXPECT_EQ(AccessHintText("/dev/ttyUSB0", "dialout"),
              "Dostęp do /dev/ttyUSB0 ma grupa dialout: dodaj swoje konto do tej grupy "
              "(sudo usermod -aG dialout $USER) i zaloguj się ponownie.");
}
