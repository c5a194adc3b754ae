#include "RecordingFormat.h"

#include "ClockText.h"
#include "RangeTables.h"
#include "TriggerLevel.h"

#include <charconv>

namespace {

template <class T> void AppendNumber(std::string& out, T value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// The next space-separated field of line, from pos on.
std::string_view NextField(std::string_view line, std::size_t& pos) {
    if (pos > line.size())
        return {}; // past the last field: a short line is damage, not an out-of-range read
    const std::size_t end = std::min(line.find(' ', pos), line.size());
    const std::string_view field = line.substr(pos, end - pos);
    pos = end + 1;
    return field;
}

template <class T> bool ParseNumber(std::string_view field, T& value, T max) {
    const auto r = std::from_chars(field.data(), field.data() + field.size(), value);
    return r.ec == std::errc{} && r.ptr == field.data() + field.size() && !field.empty() && value <= max;
}

} // namespace

std::string RecordingPreamble() {
    std::string s(RecordingFirstLine);
    s += "\n# B numer czas_ms czas T/dz V/dz wyzwalanie poziom tryb ; potem 500 próbek\n";
    return s;
}

void AppendRecordedBlock(std::string& out, std::uint64_t number, const CapturedBlock& block) {
    out += "B ";
    AppendNumber(out, number);
    out += ' ';
    AppendNumber(out, block.timeMs);
    out += ' ';
    out += DateTimeText(block.timeMs);
    for (int v :
         {int(block.timebase), int(block.voltRange), int(block.triggerMode), int(block.triggerLevel)}) {
        out += ' ';
        AppendNumber(out, v);
    }
    out += block.progressive ? " P\n" : " S\n";
    for (std::size_t i = 0; i < block.samples.size(); ++i) {
        if (i)
            out += ' ';
        AppendNumber(out, block.samples[i]);
    }
    out += '\n';
}

std::optional<std::uint64_t> ParseBlockHeader(std::string_view line, CapturedBlock& block) {
    std::size_t pos = 0;
    std::uint64_t number = 0;
    unsigned timebase = 0, volt = 0, trigger = 0, level = 0;
    if (NextField(line, pos) != "B" || !ParseNumber(NextField(line, pos), number, UINT64_MAX))
        return std::nullopt;
    std::int64_t timeMs = 0;
    if (!ParseNumber(NextField(line, pos), timeMs, INT64_MAX)) // a time beyond int64 is damage
        return std::nullopt;
    NextField(line, pos); // the readable time: czas_ms is what counts
    // Each setting within its own table: a kept block is shown with them.
    if (!ParseNumber(NextField(line, pos), timebase, unsigned(TimebaseTable.size() - 1)) ||
        !ParseNumber(NextField(line, pos), volt, unsigned(VoltTable.size() - 1)) ||
        !ParseNumber(NextField(line, pos), trigger, 2u) ||
        !ParseNumber(NextField(line, pos), level, unsigned(MaxTriggerLevel)))
        return std::nullopt;
    const std::string_view mode = NextField(line, pos);
    if ((mode != "S" && mode != "P") || pos <= line.size())
        return std::nullopt;
    block.timeMs = timeMs;
    block.timebase = std::uint8_t(timebase);
    block.voltRange = std::uint8_t(volt);
    block.triggerMode = std::uint8_t(trigger);
    block.triggerLevel = std::uint16_t(level);
    block.progressive = mode == "P";
    return number;
}

bool ParseBlockSamples(std::string_view line, CapturedBlock& block) {
    std::size_t pos = 0;
    for (auto& sample : block.samples)
        if (pos > line.size() || !ParseNumber(NextField(line, pos), sample, std::uint16_t(65535)))
            return false;
    return pos > line.size();
}
