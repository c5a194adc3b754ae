#include "BlockCsv.h"

#include "CsvExport.h"
#include "Measurements.h"
#include "SampleBuffer.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

// Shortest text that reads back exactly; to_chars never looks at the locale.
void AppendNumber(std::string& out, double value) {
    char text[32];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendOptional(std::string& out, const std::optional<double>& value, double scale = 1) {
    out += ',';
    if (value)
        AppendNumber(out, *value * scale);
}

SampleBuffer Buffer(const CapturedBlock& block) {
    SampleBuffer samples{};
    std::copy(block.samples.begin(), block.samples.end(), samples.begin());
    return samples;
}

} // namespace

std::string BlockCsvHeader() {
    return "block,block_time_ms,t [s],U [V]\r\n";
}

void AppendBlockCsv(std::string& out, std::uint64_t number, const CapturedBlock& block) {
    // The single block's table, its header line dropped and each row led by the block.
    const std::string table = FormatCsv(Buffer(block), block.timebase);
    const std::string lead = std::to_string(number) + ',' + std::to_string(block.timeMs) + ',';
    std::size_t row = table.find('\n') + 1;
    while (row < table.size()) {
        const std::size_t end = table.find('\n', row) + 1;
        out += lead;
        out.append(table, row, end - row);
        row = end;
    }
}

std::string MeasureCsvHeader() {
    return "block,block_time_ms,frequency [Hz],period [s],Vpp [V],Vmin [V],Vmax [V],mean [V],RMS [V],"
           "duty [%]\r\n";
}

void AppendMeasureCsv(std::string& out, std::uint64_t number, const CapturedBlock& block) {
    const Measurements m = Measure(Buffer(block), block.timebase);
    out += std::to_string(number) + ',' + std::to_string(block.timeMs);
    AppendOptional(out, m.Frequency);
    AppendOptional(out, m.Period);
    for (const double volts : {m.Vpp, m.Vmin, m.Vmax, m.Mean, m.Rms}) {
        out += ',';
        AppendNumber(out, volts);
    }
    AppendOptional(out, m.Duty, 100);
    out += "\r\n";
}
