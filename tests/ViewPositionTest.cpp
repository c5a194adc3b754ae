// The time view moved off 0 V: the rows, labels, read-outs and level line shift together, the
// position stays on whole rows inside 0..10 V, and a typed level reads as the user meant it.

#include "ViewPosition.h"

#include "LevelEntry.h"
#include "Markers.h"
#include "RangeTables.h"
#include "Samples.h"
#include "ScaleGeometry.h"

#include <gtest/gtest.h>

TEST(ViewPosition, StaysOnWholeRowsInsideTheInstrumentsRange) {
    EXPECT_EQ(ClampPosition(3000, 40, 10), 0) << "at 1 V/dz the view already holds 0..10 V";
    EXPECT_EQ(ClampPosition(-500, 8, 2), 0);
    EXPECT_EQ(ClampPosition(3003, 8, 2), 3000);
    EXPECT_EQ(ClampPosition(3005, 8, 2), 3008);
    EXPECT_EQ(ClampPosition(9999, 8, 2), 8000) << "the top stops at 10 V";
    EXPECT_EQ(ClampPosition(9999, 4, 1), 9000);
    EXPECT_EQ(ClampPosition(7777, 20, 5), 5000);
    EXPECT_EQ(DivisionMv(8), 200);
}

TEST(ViewPosition, RowsLabelsReadoutsAndLevelLineMoveTogether) {
    const VoltRange volt{2, 8, 2, 0.008}; // 0,2 V/dz
    const int at = 3000;
    // 3,2 V (sample 328 = 3203 mV) is 25 rows up from a view starting at 3 V.
    EXPECT_EQ(SampleToRow(328, Rounding::Nearest, 8, at), 25);
    EXPECT_EQ(SampleToRow(100, Rounding::Truncate, 8, at), 122 - 375) << "below the view: negative";
    const auto labels = VoltLabelTexts(2, ",", at);
    EXPECT_EQ(labels.front(), "5V");
    EXPECT_EQ(labels[5], "4V");
    EXPECT_EQ(labels.back(), "3V");
    EXPECT_EQ(PointerVoltText(125, volt, ",", at), "4V");
    // The line for 4 V stands where the pointer reads 4 V, and dragging it there gives 4 V back.
    EXPECT_EQ(TriggerLineTop(400, 8, at), 279 - 125);
    EXPECT_EQ(LevelAtRow(125, 8, at), 410); // 410 * 9.765625 = 4003.9 mV
    EXPECT_EQ(TriggerLineTop(100, 8, at), 279) << "below the view: its bottom row";
    EXPECT_EQ(TriggerLineTop(900, 8, at), 30) << "above it: its top row";

    SampleBuffer samples{};
    samples[10] = 328;
    samples[20] = 410;
    Markers m;
    PlaceMarker(m, Marker::A, 10, samples, volt, TimeBase{}, ",", at);
    const MarkerItems b = PlaceMarker(m, Marker::B, 20, samples, volt, TimeBase{}, ",", at);
    EXPECT_EQ(m.MarkerAHeight, 25);
    EXPECT_EQ(b.labelYText, "0,8V") << "the distance does not depend on the position";
    PlaceMarker(m, Marker::A, 0, samples, volt, TimeBase{}, ",", at);
    EXPECT_EQ(m.MarkerAShown, 0) << "a sample below the view is drawn on its bottom row";
}

TEST(ViewPosition, SaysWhereATraceLeavesTheView) {
    SampleBuffer square{};
    for (int i = 0; i < 500; ++i)
        square[size_t(i)] = i % 100 < 50 ? 307 : 717; // 3 V and 7 V
    const OutOfView fromZero = TraceOutOfView(square, 500, 8, 0);
    EXPECT_EQ(fromZero.aboveVolts, 3) << "wholly above: where it begins";
    EXPECT_FALSE(fromZero.belowVolts);
    EXPECT_EQ(TraceOutOfView(square, 500, 4, 9000).belowVolts, 7) << "wholly below: where it ends";
    const OutOfView inside = TraceOutOfView(square, 500, 40, 0);
    EXPECT_FALSE(inside.aboveVolts || inside.belowVolts);
    const OutOfView between = TraceOutOfView(square, 500, 8, 4000);
    EXPECT_EQ(between.aboveVolts, 7) << "partly out: how far it goes";
    EXPECT_EQ(between.belowVolts, 3);
    EXPECT_FALSE(TraceOutOfView(square, 0, 8, 0).aboveVolts) << "nothing received yet";
}

TEST(LevelEntry, TakesVoltsAndMillivoltsWithEitherSeparator) {
    const std::pair<const char*, int> good[] = {{"5", 512},     {"5 V", 512},     {" 2,5V ", 256},
                                                {"2.5 v", 256}, {"750 mV", 77},   {"750mv", 77},
                                                {"0,01", 1},    {"9.99 V", 1023}, {".5", 51}};
    for (const auto& [text, level] : good) {
        const LevelEntry entry = ParseLevelEntry(text);
        ASSERT_TRUE(entry.position) << text << ": " << entry.error;
        EXPECT_EQ(*entry.position, level) << text;
    }
    for (const char* bad : {"", "V", "abc", "5,5,5", "1e3", "-1", "12 V", "10001 mV", "5 kV", "nan", "5 V V"})
        EXPECT_FALSE(ParseLevelEntry(bad).position) << bad;
    EXPECT_NE(ParseLevelEntry("12").error.find("9,99"), std::string::npos) << "says the range";
}
