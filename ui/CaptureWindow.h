#pragma once
// "Przechwytywanie": a small modeless window with the single shot, the recording
// and the navigation through the history of blocks or an opened recording, with the
// progress of a recording being opened. It only shows the capture; what its
// controls start is wired in by the program.

#include "Capture.h"

#include <QString>
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <functional>

class ErrorBox;
class QLabel;
class QPushButton;
class QShowEvent;
class QSlider;
class QTimer;

class TCaptureWindow : public QWidget {
  public:
    // Shown for the first time beside the pair w1, w2, bottom edges level.
    // Its message boxes stand over the tool window w2 while it is hidden.
    TCaptureWindow(QWidget& w1, QWidget& w2, Capture& capture, ErrorBox& errors);

    void Toggle(); // F3 and the tool window's menu

    // What the controls do.
    void SingleShotClick();
    void RecordClick(bool on);
    void StepBack();    // an older block, when stopped
    void StepForward(); // a newer one
    void ShowHistoryBlock(std::size_t index);
    // A name from the open dialog: true when it is a recording's (opened in the background,
    // or refused here). The window shows how far the opening has got.
    bool OpenRecording(const QString& name);
    void CancelOpening(); // the window's "Przerwij wczytywanie"
    // "Zapisz zakres…": blocks of what is looked back at (the history or an opened recording),
    // when stopped, into a CSV table or a recording.
    void SaveRangeClick();
    // Blocks from..to, counted from 1 as the window shows them, into the file name (its kind
    // from its extension); false, with a message, when they cannot all be written.
    bool SaveRange(std::uint64_t from, std::uint64_t to, const QString& name);

    // A block went into the capture: follow it, and the recording's size.
    void BlockTaken();

    // What the window shows.
    QString PositionText() const; // "Blok 37/1000, 14:02:11.4", "Wczytywanie nagrania: 37%"
    QString RecordingText() const;
    bool RecordingOn() const;
    std::size_t ShownIndex() const { return shown_; }

    std::function<void()> OnSingleShot;
    std::function<bool()> CanStep; // only a stopped acquisition shows older blocks
    std::function<void(const CapturedBlock&)> OnShowBlock;
    // The file dialogs; an empty name means cancelled. Tests put their own in.
    std::function<QString()> AskRecordingName;
    std::function<QString()> AskRangeName;
    // The range to save out of 1..size, preset to all of it; false when cancelled.
    std::function<bool(std::uint64_t size, std::uint64_t& from, std::uint64_t& to)> AskRange;
    // A message box; tests put their own in.
    std::function<void(const QString& text)> ShowMessage;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void UpdatePosition();
    void UpdateRecording();
    void SetStatus(const QString& text);
    void PollOpening();
    void ShowOpening(bool opening);
    QWidget* MessageParent();

    QWidget& w1_; // the pair it goes beside
    QWidget& w2_;
    Capture& capture_;
    ErrorBox& errors_;
    bool placed_ = false;
    std::size_t shown_ = 0;
    std::int64_t shownTimeMs_ = 0;
    bool following_ = false; // the slider is being set by the program, not the user
    bool stale_ = false;     // blocks came while hidden: the texts wait for the window to show
    QPushButton* singleShotButton_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    QPushButton* saveRangeButton_ = nullptr;
    QSlider* historySlider_ = nullptr;
    QPushButton* cancelOpeningButton_ = nullptr; // in the slider's place while a recording opens
    QLabel* positionLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTimer* openingPoll_ = nullptr;
    QString opening_; // the recording being opened
    QString folder_;  // of the last recording chosen in this run
};
