#pragma once
// Autoset from the signal as it is: blocks taken at T/dz positions the search
// asks for give the T/dz that shows two to five periods, the V/dz and position
// that fit the trace to half..nine tenths of the view, and a rising-edge trigger
// at the middle level. Pure: the caller takes the blocks and turns the knobs.

#include "SampleBuffer.h"

#include <cstdint>
#include <optional>
#include <span>

using BlockView = std::span<const std::uint16_t, BlockSamples>; // one whole block

// What one block shows, in the instrument's steps of 10/1024 V.
struct BlockShape {
    int min = 0, max = 0;
    double mean = 0;
    // Rising crossings of the middle level (the trigger's), each counted once the signal has
    // gone a tenth of the swing past it on either side, so noise on an edge adds none.
    int risingEdges = 0;
    double periods = 0; // in the block, from the first rising edge to the last; 0 with fewer than two
    bool constant = false;
};

inline constexpr int ConstantSwingBelow = 5; // steps: a smaller swing is a constant signal

BlockShape AnalyseBlock(BlockView samples);

// The smallest V/dz whose view takes the swing min..max at most 9/10 full, and the
// position (millivolts at the bottom) that centres it: a whole number of pixel rows,
// within 0 .. 10000 - full scale.
struct ViewFit {
    int volt = 0;
    int positionMv = 0;
};
ViewFit FitView(int min, int max);

// The trigger level position halfway between min and max.
int MiddleLevel(int min, int max);

// The T/dz position whose block would show 2..5 periods of a signal of this frequency,
// nearest to 3,16 periods (ties to the faster); the fastest for a faster signal, the
// slowest for a slower one.
int TimebaseForFrequency(double hertz);

// Seconds one block spans at a T/dz position (20 divisions).
double BlockSeconds(int timebase);

enum class AutosetOutcome {
    Periodic,  // 2..5 periods show
    TooFast,   // more than five periods even at the fastest T/dz (or noise)
    TooSlow,   // fewer than two even at the slowest
    Unsettled, // the blocks ran out before the count of periods settled
    Constant,  // trigger off
};

struct AutosetResult {
    AutosetOutcome outcome = AutosetOutcome::Periodic;
    int timebase = 0;
    int volt = 0;
    int positionMv = 0;
    int triggerMode = 0;  // 0 off, 1 rising
    int triggerLevel = 1; // knob position
    double periods = 0;   // shown at timebase
};

// The search over blocks. It starts from known settings (trigger off, the whole
// 0..10 V in view, StartTimebase) and asks for each block's T/dz. It goes ten times
// slower while a block shows fewer than two periods (two constant blocks in a row at
// one level are a constant; only a signal that changes leads on to the slow T/dz), and otherwise
// to the T/dz its count of periods asks for, until a block taken there shows 2..5
// periods. A count is trusted only at the T/dz it was made: many crossings at a slow
// T/dz may be a fast signal folded down, whose true frequency is only higher, so
// the search goes where the count points and counts again.
class AutosetSearch {
  public:
    static constexpr int StartTimebase = 3; // 1 ms/div: fast, and 25 kHz sampling
    static constexpr int StartVolt = 0;
    static constexpr int StartPositionMv = 0;
    static constexpr int MaxBlocks = 6; // counted ones; what reaches 10 s/div needs all

    // The T/dz the next block is to be taken at.
    int WantedTimebase() const { return wanted_; }
    // A complete block taken at T/dz timebase; the result once it is known. A block
    // taken at any other T/dz than the one wanted (asked for before the knob moved) is
    // passed over and not counted.
    std::optional<AutosetResult> Take(BlockView samples, int timebase);
    int BlocksUsed() const { return used_; }

  private:
    std::optional<AutosetResult> Next(const BlockShape& shape);
    AutosetResult Result(const BlockShape& shape) const;

    int wanted_ = StartTimebase;
    int used_ = 0;
    bool counted_ = false;             // some block showed a count of periods
    std::optional<double> constantAt_; // the mean of the last block, when it was a constant
};
