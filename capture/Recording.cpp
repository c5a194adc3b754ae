#include "Recording.h"

#include "RecordingReader.h"

#include <sys/stat.h>

Recording::Opened Recording::Open(const std::string& path, const std::atomic<bool>& stop,
                                  std::atomic<std::uint64_t>& bytesRead,
                                  std::atomic<std::uint64_t>& fileBytes) {
    Opened r;
    OpenedFile file = OpenRegularForReading(path);
    if (!file.file.IsOpen()) {
        r.error = file.notRegular ? "To nie jest zwykły plik." : "Nie mogę otworzyć pliku.";
        return r;
    }
    struct stat st {};
    fileBytes = fstat(file.file.Get(), &st) == 0 ? std::uint64_t(st.st_size) : 0;
    RecordingIndex index;
    const RecordingRead read =
        ReadRecording(file.file.Get(), [&](const CapturedBlock&, std::uint64_t offset) {
            index.Add(offset);
            bytesRead.store(offset, std::memory_order_relaxed);
            return !stop.load(std::memory_order_relaxed);
        });
    r.stopped = read.stopped;
    if (read.stopped)
        return r;
    if (read.blocks == 0) {
        r.error =
            read.recording && read.error.empty() ? "Nagranie nie zawiera żadnego całego bloku." : read.error;
        return r;
    }
    r.error = read.error;
    r.recording.reset(new Recording(std::move(file.file), std::move(index)));
    return r;
}

bool Recording::Read(std::uint64_t i, CapturedBlock& block) const {
    if (i >= index_.Size())
        return false;
    const RecordingIndex::Place place = index_.Find(i);
    return ReadRecordedBlock(file_.Get(), place.offset, place.skip, block);
}
