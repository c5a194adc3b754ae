#include "Capture.h"

void Capture::SetHistoryLength(std::size_t length) {
    length_ = length;
    history.SetCapacity(length);
}

void Capture::Take(const CapturedBlock& block) {
    opened_.reset();
    history.Add(block);
    if (writer_)
        writer_->Append(block);
    if (OnTaken)
        OnTaken();
}

bool Capture::Read(std::uint64_t i, CapturedBlock& block) const {
    if (opened_)
        return opened_->Read(i, block);
    if (i >= history.Size())
        return false;
    block = history.At(std::size_t(i));
    return true;
}

void Capture::StartLoading(const std::string& path) {
    load_.reset(); // one at a time: the newest choice wins
    load_ = std::make_unique<RecordingLoad>(path);
}

bool Capture::FinishLoading(std::string& error, std::string& note) {
    if (!LoadFinished())
        return false;
    ::Recording::Opened opened = load_->Take();
    load_.reset();
    return Adopt(std::move(opened), error, note);
}

bool Capture::LoadRecording(const std::string& path, std::string& error, std::string& note) {
    load_.reset();
    const std::atomic<bool> never{false};
    std::atomic<std::uint64_t> bytesRead{0}, fileBytes{0};
    return Adopt(::Recording::Open(path, never, bytesRead, fileBytes), error, note);
}

bool Capture::Adopt(::Recording::Opened opened, std::string& error, std::string& note) {
    if (!opened.recording) {
        error = opened.error;
        return false;
    }
    // The live blocks give way: their memory is not kept beside the recording.
    history.Clear();
    opened_ = std::move(opened.recording);
    note = opened.error;
    return true;
}

bool Capture::StartRecording(const std::string& path, std::string& error) {
    writer_.reset(); // the previous recording is closed before another file is opened
    writer_ = RecordingWriter::Create(path, error);
    return writer_ != nullptr;
}
