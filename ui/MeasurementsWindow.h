#pragma once
// "Pomiary": a small modeless window with the measurements of the last whole
// block, in the tool window's look. It follows the blocks at most ten times a
// second and measures only while it is shown.

#include "SampleBuffer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>

class QLabel;

class TMeasurementsWindow : public QWidget {
  public:
    // Shown for the first time beside the pair, top edges level.
    TMeasurementsWindow(QWidget& w1, QWidget& w2);

    // A whole block on the screen, taken at a T/dz position.
    void ShowBlock(const SampleBuffer& samples, int timebase);
    void Toggle();                           // F2 and the tool window's menu
    int Updates() const { return updates_; } // how often the read-outs were measured

    // For tests and other windows: a read-out's text, by what it measures.
    enum class Reading { Frequency, Period, Vpp, Vmin, Vmax, Mean, Rms, Duty }; // in the order of the rows
    QString ReadingText(Reading which) const;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void Update();

    QWidget& w1_; // the pair it goes beside
    QWidget& w2_;
    bool placed_ = false;
    std::array<QLabel*, 8> values_{};
    SampleBuffer block_{};
    int timebase_ = 0;
    bool pending_ = false;
    QElapsedTimer sinceUpdate_;
    QTimer late_; // one shot: the last of a quick run of blocks is shown too
    int updates_ = 0;
};
