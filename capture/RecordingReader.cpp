#include "RecordingReader.h"

#include "LineReader.h"
#include "RecordingFormat.h"
#include "RegularFile.h"

namespace {

// The blocks of a recording, one after the other, from a line where one may start.
class BlockLines {
  public:
    enum class Step { Block, End, CutShort, Damaged, Error };

    BlockLines(int fd, std::uint64_t offset, std::uint64_t lineNumber)
        : lines_(fd, offset, MaxRecordingLine), lineNumber_(lineNumber) {}

    // The next block into block, and where its header starts; comment lines are passed over.
    Step Next(CapturedBlock& block, std::uint64_t& offset) {
        std::string_view line;
        bool ended = false;
        for (;;) {
            offset = lines_.Offset();
            const LineReader::Result r = lines_.Next(line, ended);
            if (r != LineReader::Result::Line)
                return Failed(r);
            ++lineNumber_;
            // Only the last line of a file can lack its line end: that is a block cut short.
            if (!ended)
                return Step::CutShort;
            if (line.empty() || line[0] != '#')
                break;
        }
        if (!ParseBlockHeader(line, block))
            return Step::Damaged;
        const LineReader::Result r = lines_.Next(line, ended);
        if (r == LineReader::Result::End)
            return Step::CutShort;
        if (r != LineReader::Result::Line)
            return Failed(r);
        ++lineNumber_;
        if (!ended)
            return Step::CutShort;
        return ParseBlockSamples(line, block) ? Step::Block : Step::Damaged;
    }

    LineReader& Lines() { return lines_; }
    std::uint64_t LineNumber() const { return lineNumber_; }

  private:
    Step Failed(LineReader::Result r) {
        if (r == LineReader::Result::TooLong) {
            ++lineNumber_;
            return Step::Damaged;
        }
        return r == LineReader::Result::End ? Step::End : Step::Error;
    }

    LineReader lines_;
    std::uint64_t lineNumber_;
};

} // namespace

RecordingRead ReadRecording(int fd, const RecordedBlockFound& onBlock) {
    RecordingRead r;
    BlockLines blocks(fd, 0, 1);
    std::string_view line;
    bool ended = false;
    if (blocks.Lines().Next(line, ended) != LineReader::Result::Line || line != RecordingFirstLine ||
        !ended) {
        r.error = "To nie jest nagranie Drganika.";
        return r;
    }
    r.recording = true;
    CapturedBlock block;
    std::uint64_t offset = 0;
    for (;;) {
        switch (blocks.Next(block, offset)) {
        case BlockLines::Step::Block:
            ++r.blocks;
            if (!onBlock(block, offset)) {
                r.stopped = true;
                return r;
            }
            continue;
        case BlockLines::Step::End:
            return r;
        case BlockLines::Step::CutShort:
            r.cutShort = true;
            r.error = "Ostatni blok nagrania jest niepełny i został pominięty.";
            return r;
        case BlockLines::Step::Damaged:
            r.error = "Nagranie jest uszkodzone w wierszu " + std::to_string(blocks.LineNumber()) +
                      (r.blocks ? "; wczytano bloki przed nim." : ".");
            return r;
        case BlockLines::Step::Error:
            r.error = "Błąd odczytu pliku.";
            return r;
        }
    }
}

RecordingRead ReadRecording(const std::string& path, const RecordedBlockFound& onBlock) {
    const OpenedFile file = OpenRegularForReading(path);
    if (!file.file.IsOpen()) {
        RecordingRead r;
        r.error = file.notRegular ? "To nie jest zwykły plik." : "Nie mogę otworzyć pliku.";
        return r;
    }
    return ReadRecording(file.file.Get(), onBlock);
}

bool ReadRecordedBlock(int fd, std::uint64_t offset, std::uint64_t skip, CapturedBlock& block) {
    BlockLines blocks(fd, offset, 0);
    for (std::uint64_t n = 0;; ++n) {
        if (blocks.Next(block, offset) != BlockLines::Step::Block)
            return false;
        if (n == skip)
            return true;
    }
}
