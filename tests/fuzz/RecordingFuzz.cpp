// Random bytes as a recording file: reading never crashes, hangs or overflows, every
// block it accepts reads back alone from where it starts and from an index kept in
// two entries, its times make texts, and the same file with CR LF line ends reads
// the same blocks.

#include "ClockText.h"
#include "RecordingIndex.h"
#include "RecordingReader.h"
#include "RegularFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

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

struct Found {
    std::vector<CapturedBlock> blocks;
    std::vector<std::uint64_t> offsets;
    RecordingRead read;
};

Found ReadFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    Found f;
    f.read = ReadRecording(path, [&](const CapturedBlock& b, std::uint64_t offset) {
        f.blocks.push_back(b);
        f.offsets.push_back(offset);
        return true;
    });
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first line that names a recording is given, or nearly every input would stop there.
    const std::string text = "Drganik nagranie 1\n" + std::string(reinterpret_cast<const char*>(data), size);
    const std::string path = Folder() + "/r.drgn";
    const Found f = ReadFile(path, text);
    if (!f.read.recording || f.read.blocks != f.blocks.size())
        __builtin_trap();

    const OpenedFile file = OpenRegularForReading(path);
    if (!file.file.IsOpen())
        __builtin_trap();
    RecordingIndex index(2);
    for (std::uint64_t offset : f.offsets)
        index.Add(offset);
    for (std::size_t i = 0; i < f.blocks.size(); ++i) {
        CapturedBlock alone, indexed;
        const RecordingIndex::Place place = index.Find(i);
        if (!ReadRecordedBlock(file.file.Get(), f.offsets[i], 0, alone) || !(alone == f.blocks[i]) ||
            !ReadRecordedBlock(file.file.Get(), place.offset, place.skip, indexed) ||
            !(indexed == f.blocks[i]))
            __builtin_trap();
        if (ClockText(alone.timeMs).size() != 10 || DateTimeText(alone.timeMs).size() != 23)
            __builtin_trap();
    }

    if (text.find('\r') == std::string::npos) {
        std::string crlf;
        for (char c : text)
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        const Found g = ReadFile(path, crlf);
        if (g.blocks != f.blocks || g.read.cutShort != f.read.cutShort)
            __builtin_trap();
    }
    return 0;
}
