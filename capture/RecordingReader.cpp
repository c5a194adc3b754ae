#include "RecordingReader.h"

#include "RecordingFormat.h"

#include <cstdio>
#include <memory>

namespace {

// One line at a time; `ended` tells whether it had its line end.
struct LineReader {
    explicit LineReader(std::FILE* f) : file(f) {}
    ~LineReader() { std::free(buffer); }
    bool Next(std::string_view& line, bool& ended) {
        const ssize_t n = getline(&buffer, &size, file);
        if (n <= 0)
            return false;
        ended = buffer[n - 1] == '\n';
        line = std::string_view(buffer, std::size_t(n) - (ended ? 1 : 0));
        return true;
    }
    std::FILE* file;
    char* buffer = nullptr;
    std::size_t size = 0;
};

} // namespace

RecordingRead ReadRecording(const std::string& path,
                            const std::function<void(const CapturedBlock&)>& onBlock) {
    RecordingRead r;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rbe"), &std::fclose);
    if (!file) {
        r.error = "Nie mogę otworzyć pliku.";
        return r;
    }
    LineReader lines(file.get());
    std::string_view line;
    bool ended = false;
    if (!lines.Next(line, ended) || line != RecordingFirstLine || !ended) {
        r.error = "To nie jest nagranie Drganika.";
        return r;
    }
    r.recording = true;
    CapturedBlock block;
    std::uint64_t lineNumber = 1;
    const auto cutShort = [&] {
        r.cutShort = true;
        r.error = "Ostatni blok nagrania jest niepełny i został pominięty.";
    };
    const auto damaged = [&] {
        r.error = "Nagranie jest uszkodzone w wierszu " + std::to_string(lineNumber) +
                  "; wczytano bloki przed nim.";
    };
    // Only the last line of a file can lack its line end: that is a block cut short.
    while (lines.Next(line, ended)) {
        ++lineNumber;
        if (!ended) {
            cutShort();
            break;
        }
        if (!line.empty() && line[0] == '#')
            continue;
        if (!ParseBlockHeader(line, block)) {
            damaged();
            break;
        }
        if (!lines.Next(line, ended) || !ended) {
            cutShort();
            break;
        }
        ++lineNumber;
        if (!ParseBlockSamples(line, block)) {
            damaged();
            break;
        }
        ++r.blocks;
        onBlock(block);
    }
    if (std::ferror(file.get()) && r.error.empty())
        r.error = "Błąd odczytu pliku.";
    return r;
}
