#pragma once
// "Lupa": a resizable window with the block the main window shows, zoomable,
// averaged over consecutive blocks when asked, with a reference block under it
// and the spectrum in dB below. Hidden, it only keeps the last block; shown, it
// draws live blocks at most 12.5 times a second.

#include "BlockAverage.h"
#include "DbLevels.h"
#include "ReferenceTrace.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class ErrorBox;
class QComboBox;
class QLabel;
class QSpinBox;
class TLupaPlot;

class TLupaWindow : public QWidget {
  public:
    // Shown for the first time beside the pair (w1 left of w2); tables: the main spectrum's.
    TLupaWindow(QWidget& w1, QWidget& w2, const TransformTables& tables, ErrorBox& errors);

    // A whole block on the main window: live (taken now) or stored (a file, the history, a
    // recording), which is shown alone.
    void ShowBlock(const SampleBuffer& samples, const BlockSettings& taken, bool live);
    void Toggle(); // F5 and the tool window's menu

    // Averaging over 2..256 consecutive live blocks; 1 is off.
    void SetAveraging(int length);
    int AveragingLength() const;
    int AveragedBlocks() const { return average_.Reached(); }
    // Whether the shown block is an average, which the measurements then take too.
    bool ShowsAverage() const;
    SampleBuffer AveragedBlock() const { return average_.Rounded(); }

    void SetSpectrumChoice(SpectrumWindow window, DbScale scale);
    SpectrumWindow Window() const { return window_; }
    DbScale Scale() const { return scale_; }

    // The reference block: taken from the shown block, read from a data file, or given back
    // (as a saved session would); one with a T/dz position outside the table is refused.
    std::optional<ReferenceTrace> Reference() const { return reference_; }
    bool SetReference(const std::optional<ReferenceTrace>& reference);
    void TakeReference();                    // the block shown: the average while averaging
    bool LoadReference(const QString& path); // false (and nothing changed) when it cannot be read

    // What the window shows, for checks and the export.
    const std::array<double, BlockSamples>& ShownVolts() const { return volts_; }
    const DbSpectrum& Spectrum() const { return spectrum_; }
    QImage Picture() const;    // the picture at its size
    std::string Table() const; // the shown (averaged) block as CSV
    TLupaPlot& Plot() { return *plot_; }
    int Refreshes() const { return refreshes_; } // blocks drawn
    bool RefreshPending() const { return pending_; }
    void ExportPicture();
    void ExportTable();

    // The dialogs; an empty name means cancelled. Tests put their own in.
    std::function<QString(bool picture)> AskExportName;
    std::function<QString()> AskReferenceName;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void BuildControls();
    bool Averaging() const; // live blocks with averaging on
    void Refresh();         // the last block drawn
    void Export(bool picture);
    void ShowFailure(const QString& text);

    QWidget& w1_;
    QWidget& w2_;
    ErrorBox& errors_;
    bool placed_ = false;
    DbTransform transform_;
    BlockAverage average_;
    int averaging_ = 1;
    SpectrumWindow window_ = SpectrumWindow::Hann;
    DbScale scale_ = DbScale::Dbv;
    std::optional<ReferenceTrace> reference_;

    SampleBuffer last_{};
    BlockSettings lastTaken_;
    bool lastLive_ = false;
    bool pending_ = false; // a block not drawn yet
    QElapsedTimer sinceRefresh_;
    QTimer late_; // one shot: the last of a quick run of live blocks is drawn too
    int refreshes_ = 0;
    std::array<double, BlockSamples> volts_{};
    DbSpectrum spectrum_;
    QString folder_; // of the last file chosen here

    TLupaPlot* plot_ = nullptr;
    QSpinBox* averagingBox_ = nullptr;
    QComboBox* windowBox_ = nullptr;
    QComboBox* scaleBox_ = nullptr;
};
