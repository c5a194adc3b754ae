#include "CsvExport.h"

#include "RangeTables.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

// Whole microseconds as seconds: "0.000004", "1.5", "0".
void AppendSeconds(std::string& out, long long micro) {
    out += std::to_string(micro / 1000000);
    long long fraction = micro % 1000000;
    if (fraction == 0)
        return;
    std::string digits = std::to_string(fraction);
    digits.insert(0, 6 - digits.size(), '0');
    digits.erase(digits.find_last_not_of('0') + 1);
    out += '.';
    out += digits;
}

} // namespace

std::string FormatCsv(const SampleBuffer& samples, int timebase) {
    std::array<double, BlockSamples> volts;
    for (std::size_t i = 0; i < volts.size(); ++i)
        volts[i] = samples[i] * VoltsPerStep;
    return FormatCsv(volts, timebase);
}

std::string FormatCsv(const std::array<double, BlockSamples>& volts, int timebase) {
    if (timebase < 0 || timebase >= int(TimebaseTable.size()))
        throw std::out_of_range("T/dz position out of range");
    // A sample lasts one pixel column; in whole microseconds at every T/dz (4 us .. 400 ms).
    const long long stepMicro = std::llround(TimebaseTable[size_t(timebase)].TimePerPixelMs * 1000.0);
    std::string out = "t [s],U [V]\r\n";
    char text[32];
    for (std::size_t i = 0; i < volts.size(); ++i) {
        AppendSeconds(out, (long long)i * stepMicro);
        out += ',';
        // Shortest fixed-point text that reads back exactly; to_chars never uses the locale.
        const auto end = std::to_chars(text, text + sizeof text, volts[i], std::chars_format::fixed).ptr;
        out.append(text, end);
        out += "\r\n";
    }
    return out;
}
