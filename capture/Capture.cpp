#include "Capture.h"

#include "RecordingReader.h"

#include <algorithm>

void Capture::SetHistoryLength(std::size_t length) {
    length_ = length;
    history.SetCapacity(length);
}

void Capture::Take(const CapturedBlock& block) {
    if (history.Capacity() != length_)
        history.SetCapacity(length_); // live blocks bring a loaded recording back to the set length
    history.Add(block);
    if (writer_)
        writer_->Append(block);
    if (OnTaken)
        OnTaken();
}

bool Capture::LoadRecording(const std::string& path, std::string& error, std::string& note) {
    // Streamed: the history grows block by block, never holding the file.
    bool first = true;
    const RecordingRead read = ReadRecording(path, [&](const CapturedBlock& block) {
        if (first) {
            history.Clear();
            history.SetCapacity(SIZE_MAX);
            first = false;
        }
        history.Add(block);
    });
    if (!read.recording || read.blocks == 0) {
        error = read.recording ? "Nagranie nie zawiera żadnego całego bloku." : read.error;
        return false;
    }
    history.SetCapacity(history.Size());
    note = read.error;
    return true;
}

bool Capture::StartRecording(const std::string& path, std::string& error) {
    writer_.reset(); // the previous recording is closed before another file is opened
    writer_ = RecordingWriter::Create(path, error);
    return writer_ != nullptr;
}
