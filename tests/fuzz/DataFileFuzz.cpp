// Random bytes as a data file: the reader must never crash, hang or read out of bounds,
// and a start of the file that it accepts must read as the whole file does.

#include "DataFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SampleBuffer samples{};
    const DataFileRead r = ReadDataFile(text, samples);
    if (r.samplesStored < 0 || r.samplesStored > 500)
        __builtin_trap();
    SampleBuffer fromStart{};
    const DataFileRead s = ReadDataFile(text.substr(0, size / 2), fromStart, true);
    if (s.ok && (!r.ok || s.timebase != r.timebase || fromStart != samples))
        __builtin_trap();
    return 0;
}
