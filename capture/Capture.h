#pragma once
// What the acquisition hands over for looking back: every complete block goes
// into the history and, while one is open, into the recording. A recording
// opened from disk takes the history's place until live blocks come again.

#include "History.h"
#include "Recording.h"
#include "RecordingLoad.h"
#include "RecordingWriter.h"

#include <functional>
#include <memory>
#include <string>

class Capture {
  public:
    explicit Capture(std::size_t historyLength) : history(historyLength), length_(historyLength) {}

    History history; // the live blocks

    // The configured length of the history.
    void SetHistoryLength(std::size_t length);
    std::size_t HistoryLength() const { return length_; }
    // A block that was just shown live. It closes an opened recording: the history starts
    // again from the live blocks.
    void Take(const CapturedBlock& block);

    // What is looked back at: the opened recording's blocks, or else the history's.
    std::uint64_t Size() const { return opened_ ? opened_->Size() : history.Size(); }
    bool Empty() const { return Size() == 0; }
    bool RecordingOpened() const { return opened_ != nullptr; }
    // Block i of them, 0 the oldest; false when the recording no longer holds it on disk.
    bool Read(std::uint64_t i, CapturedBlock& block) const;

    // Opens a recording in the background; the history stays as it is meanwhile.
    void StartLoading(const std::string& path);
    void CancelLoading() { load_.reset(); }
    bool Loading() const { return load_ != nullptr; }
    bool LoadFinished() const { return load_ && load_->Finished(); }
    double LoadProgress() const { return load_ ? load_->Progress() : 0.0; }
    // Once LoadFinished(): true with the recording in the history's place (note says what
    // was left out, if anything), false with error set and the history as it was.
    bool FinishLoading(std::string& error, std::string& note);
    // The whole of it on the calling thread.
    bool LoadRecording(const std::string& path, std::string& error, std::string& note);

    // Recording: false with error set when the file cannot be created.
    bool StartRecording(const std::string& path, std::string& error);
    void StopRecording() { writer_.reset(); }
    // The open recording, or null; after a failed write it stays until stopped, so its error shows.
    const RecordingWriter* Recording() const { return writer_.get(); }

    std::function<void()> OnTaken; // after each block taken, for the windows that show it

  private:
    bool Adopt(::Recording::Opened opened, std::string& error, std::string& note);

    std::size_t length_;
    std::unique_ptr<RecordingWriter> writer_;
    std::unique_ptr<RecordingLoad> load_;
    std::unique_ptr<::Recording> opened_;
};
