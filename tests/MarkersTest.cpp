#include "Markers.h"

#include <gtest/gtest.h>

namespace {

struct Scene {
    SampleBuffer samples{};
    VoltRange volt; // 1 V per division
    TimeBase time;  // 0,1 ms per division
    Markers m;
    MarkerItems Place(Marker which, int x) { return PlaceMarker(m, which, x, samples, volt, time, ","); }
};

} // namespace

TEST(Markers, WorkedExampleAtOneVoltAndATenthOfAMillisecond) {
    Scene s;
    s.samples[100] = 512;
    s.samples[150] = 256;
    s.Place(Marker::A, 100);
    const MarkerItems items = s.Place(Marker::B, 150);
    EXPECT_EQ(s.m.MarkerAHeight, 125);
    EXPECT_EQ(s.m.MarkerBHeight, 62);
    EXPECT_EQ(items.labelYText, "2,52V");
    EXPECT_EQ(items.labelXText, "0,2ms");
    EXPECT_EQ(items.markerLeft, 176);
    EXPECT_EQ(items.levelTop, 278 - 62);
    EXPECT_EQ(items.barXLeft, 130);
    EXPECT_EQ(items.barXWidth, 50);
    EXPECT_EQ(items.barYHeight, 63);
    EXPECT_EQ(items.barYTop, 280 - 62 - 63);
    EXPECT_EQ(items.labelXLeft, 100 + 25 + 10);
    EXPECT_EQ(items.labelYTop, 273 - 125 + 31);
    EXPECT_EQ(PointerTimeText(250, s.time, ","), "1ms");
    EXPECT_EQ(PointerVoltText(125, s.volt, ","), "5V");
}

TEST(Markers, LimitsSameColumnAndHeightsAboveTheView) {
    Scene s;
    s.samples[500] = 512; // column 500 reads the word past the block
    s.samples[0] = 7;
    const MarkerItems atEnd = s.Place(Marker::A, 500);
    EXPECT_EQ(atEnd.markerLeft, 526);
    EXPECT_EQ(s.m.MarkerAHeight, 125);
    s.Place(Marker::A, 0);
    const MarkerItems same = s.Place(Marker::B, 0);
    EXPECT_EQ(same.barXWidth, 0);
    EXPECT_EQ(same.labelXText, "0ms");

    s.volt = {1, 4, 1, 0.004}; // 0,1 V per division
    s.samples[10] = 1023;
    s.samples[20] = 600;
    s.Place(Marker::A, 10);
    const MarkerItems high = s.Place(Marker::B, 20);
    EXPECT_EQ(s.m.MarkerAShown, 250);
    EXPECT_EQ(s.m.MarkerBShown, 250);
    EXPECT_EQ(high.levelTop, 28);
    EXPECT_EQ(high.barYHeight, 0);
    EXPECT_EQ(high.labelYText, "4,132V")
        << "the true difference of the unlimited heights: (2497 - 1464) * 0.004";
}

TEST(Markers, ExtremesTakeTheFirstIndexAndEqualSamplesGiveZero) {
    SampleBuffer s{};
    EXPECT_EQ(FindExtremes(s).min, 0);
    EXPECT_EQ(FindExtremes(s).max, 0);
    s.fill(5);
    s[3] = 9;
    s[7] = 9;
    s[600] = 100; // past the block: not scanned
    s[0] = 4;
    s[1] = 2;
    s[2] = 2;
    EXPECT_EQ(FindExtremes(s).min, 1);
    EXPECT_EQ(FindExtremes(s).max, 3);
}
