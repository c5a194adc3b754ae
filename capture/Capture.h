#pragma once
// What the acquisition hands over for looking back: every complete block goes
// into the history and, while one is open, into the recording.

#include "History.h"
#include "RecordingWriter.h"

#include <functional>
#include <memory>
#include <string>

class Capture {
  public:
    explicit Capture(std::size_t historyLength = 1000) : history(historyLength), length_(historyLength) {}

    History history;

    // The configured length; a loaded recording may hold more until live blocks come.
    void SetHistoryLength(std::size_t length);
    std::size_t HistoryLength() const { return length_; }
    // A block that was just shown live.
    void Take(const CapturedBlock& block);
    // Replaces the history with a recording's blocks, all of them; false (history
    // untouched) with error set when the file is no recording at all.
    bool LoadRecording(const std::string& path, std::string& error, std::string& note);

    // Recording: false with error set when the file cannot be created.
    bool StartRecording(const std::string& path, std::string& error);
    void StopRecording() { writer_.reset(); }
    // The open recording, or null; after a failed write it stays until stopped, so its error shows.
    const RecordingWriter* Recording() const { return writer_.get(); }

    std::function<void()> OnTaken; // after each block taken, for the windows that show it

  private:
    std::size_t length_;
    std::unique_ptr<RecordingWriter> writer_;
};
