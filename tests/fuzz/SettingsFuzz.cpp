// Random text as a settings file: reading never crashes, and writing an entry
// then reading it back gives exactly what was written. A first byte of 0 to 3 also
// puts something under the file's name on disk: the text itself, the text in a
// file grown past the size limit, a FIFO or a link to an endless device. Reading
// those never blocks and gives the defaults; a save onto them is refused.

#include "Settings.h"
#include "SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Kind { Text, Huge, Fifo, Device, Kinds };

// One scratch folder for the whole run, removed when the fuzzer ends.
struct Scratch {
    std::string folder = (std::filesystem::temp_directory_path() / "drganik-fuzz-XXXXXX").string();
    Scratch() {
        if (!mkdtemp(folder.data()))
            std::abort();
    }
    ~Scratch() { std::filesystem::remove_all(folder); }
};

const std::string& Folder() {
    static const Scratch scratch;
    return scratch.folder;
}

bool Saved(SettingsFile& ini) {
    try {
        ini.WriteInteger("ADVANCED", "Timer", 25);
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"LW", "BG", "PC", "Timer", "Spow"})
        ParseIniInteger(IniValue(text, "DISP", key, "1"), 1);
    const std::string written = IniWithEntry(text, "ADVANCED", "Timer", "25");
    if (IniValue(written, "advanced", "timer", "missing") != "25")
        __builtin_trap();

    // On disk only for texts that start with a kind's number: the disk is slow, the parsing above is not.
    if (size == 0 || data[0] >= Kinds)
        return 0;
    const Kind kind = Kind(data[0]);
    const std::string path = Folder() + "/drganik.ini";
    std::filesystem::remove(path);
    if (kind == Fifo) {
        mkfifo(path.c_str(), 0600);
    } else if (kind == Device) {
        std::filesystem::create_symlink("/dev/zero", path);
    } else {
        std::ofstream(path, std::ios::binary) << text;
        if (kind == Huge && truncate(path.c_str(), (1 << 20) + 1) != 0)
            std::abort();
    }
    SettingsFile ini(path);
    const Settings read = ReadSettings(ini);
    const IniSnapshot expected(kind == Text ? text : std::string());
    if (read.Timer != expected.ReadInteger("ADVANCED", "Timer", 25) ||
        read.PC != expected.ReadInteger("DISP", "PC", 0) || read.FW != expected.ReadBool("DISP", "FW", true))
        __builtin_trap();
    // Not onto the device: a mistaken save there would replace the real one when run as root.
    if (kind != Device && Saved(ini) != (kind == Text))
        __builtin_trap();
    if (kind == Text && ini.ReadInteger("ADVANCED", "Timer", 0) != 25)
        __builtin_trap();
    return 0;
}
