// Random text as a settings file: reading never crashes, and writing an entry
// then reading it back gives exactly what was written.

#include "SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"LW", "BG", "PC", "Timer", "Spow"})
        ParseIniInteger(IniValue(text, "DISP", key, "1"), 1);
    const std::string written = IniWithEntry(text, "ADVANCED", "Timer", "25");
    if (IniValue(written, "advanced", "timer", "missing") != "25")
        __builtin_trap();
    return 0;
}
