// Random bytes as a data file: the reader must never crash, hang or read out of bounds.

#include "DataFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SampleBuffer samples{};
    const DataFileRead r = ReadDataFile(std::string_view(reinterpret_cast<const char*>(data), size), samples);
    if (r.samplesStored < 0 || r.samplesStored > 500)
        __builtin_trap();
    return 0;
}
