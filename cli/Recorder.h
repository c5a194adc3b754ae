#pragma once
// One recording run of drganik-rec on the acquisition session, as a user would run
// the windows: connect, start (or a single shot), every block taken written out,
// then stop and close the port when the count, the time or a signal says so.

#include "BlockExport.h"
#include "HeadlessViews.h"
#include "Progress.h"
#include "RecOptions.h"

#include <QElapsedTimer>
#include <QTimer>
#include <string>

class AcquisitionSession;
struct ProgramState;

class Recorder {
  public:
    enum Status { Done = 0, DeviceOrFileError = 1, Usage = 2, NoTrigger = 3 };

    Recorder(const RecOptions& options, ProgramState& state, AcquisitionSession& session, BlockExport& out,
             Progress& progress);
    // Connects and records in the running event loop; OnEnd gets the exit status.
    void Begin();
    // What a handler of the session threw.
    void Failed(const std::string& error);
    // SIGINT or SIGTERM: the block being written is whole, the run ends.
    void Interrupt() { End(Done); }

    std::function<void(int status)> OnEnd;
    HeadlessViews views; // the knobs as the command line set them; the notes for progress and status

  private:
    void Taken();
    void Watch();
    void End(int status, const std::string& message = {});
    void Close();
    std::string WriteFailure() const;

    const RecOptions& options_;
    ProgramState& state_;
    AcquisitionSession& session_;
    BlockExport& out_;
    Progress& progress_;
    QTimer watch_;            // start, time limits, progress: a few times a second
    QElapsedTimer since_;     // since the recording started
    QElapsedTimer lastBlock_; // since the last block, for the time-out
    bool started_ = false;
    bool probeFailed_ = false;
    bool ending_ = false;
    int status_ = Done;
};
