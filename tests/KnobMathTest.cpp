#include "KnobMath.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <set>

namespace {

const KnobGeometry Knob1{0, 3, 45, 38, 85, 85};
const KnobGeometry Knob2{0, 15, 25, 38, 85, 85};
const KnobGeometry Knob3{1, 1023, 30, 22, 85, 85};

// A pointer far out in the direction phi + 0.5 degrees (clockwise from down): only the direction counts.
int PositionAtDegree(const KnobGeometry& g, int degree) {
    const double a = (degree + 0.5) * std::numbers::pi / 180;
    const int x = 42 + int(std::lround(-std::sin(a) * 4000)), y = 42 + int(std::lround(std::cos(a) * 4000));
    return KnobPointerPosition(g, x, y);
}

struct Row {
    int position;
    KnobPoint centre;
    int firstDegree; // first Trunc(phi) selecting it (the dead zone aside)
};

void CheckTable(const KnobGeometry& g, const std::vector<Row>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(KnobHandleCentre(g, rows[i].position), rows[i].centre) << "position " << rows[i].position;
        const int last = i + 1 < rows.size() ? rows[i + 1].firstDegree - 1 : 360 - g.baseAngle;
        for (int deg = rows[i].firstDegree; deg <= last; ++deg)
            ASSERT_EQ(PositionAtDegree(g, deg), rows[i].position) << "degree " << deg;
    }
}

} // namespace

TEST(KnobMath, PercentConversionsTruncateInExtendedPrecision) {
    EXPECT_EQ(PercentToValue(20, 15), 2);
    EXPECT_EQ(PercentToValue(10, 270), 26);
    EXPECT_EQ(PercentToValue(33, 270), 89);
    EXPECT_EQ(PercentToValue(66, 270), 178);
    EXPECT_EQ(PercentToValue(100, 1022), 1022);
    EXPECT_EQ(ValueToPercent(1, 3), 33);
    EXPECT_EQ(ValueToPercent(5, 0), 0);
    EXPECT_EQ(ValueToPercent(2147483647, 2147483647), 100) << "no overflow of v * 100";
}

TEST(KnobMath, VoltKnobHandlesAndSectors) {
    CheckTable(Knob1, {{0, {23, 61}, 45}, {1, {22, 23}, 137}, {2, {61, 22}, 226}, {3, {61, 61}, 315}});
    EXPECT_EQ(KnobHandleAngle(Knob1, 2), 403);
    // A press exactly on the handle drawn for position 1 selects 0 (its Trunc(phi) is 134).
    EXPECT_EQ(int(KnobPointerAngle(Knob1, 22, 23)), 134);
    EXPECT_EQ(KnobPointerPosition(Knob1, 22, 23), 0);
    EXPECT_EQ(PositionAtDegree(Knob1, 180), 1) << "top of the dial";
}

TEST(KnobMath, TimeKnobHandlesAndSectors) {
    CheckTable(Knob2, {{0, {31, 67}, 25},
                       {1, {23, 62}, 47},
                       {2, {17, 53}, 69},
                       {3, {15, 43}, 91},
                       {4, {15, 35}, 109},
                       {5, {20, 26}, 131},
                       {6, {28, 19}, 153},
                       {7, {36, 15}, 171},
                       {8, {46, 15}, 193},
                       {9, {56, 18}, 215},
                       {10, {63, 24}, 233},
                       {11, {68, 33}, 255},
                       {12, {69, 42}, 277},
                       {13, {68, 52}, 295},
                       {14, {62, 61}, 317},
                       {15, {53, 67}, 335}});
    EXPECT_EQ(PositionAtDegree(Knob2, 180), 7) << "top of the dial";
}

TEST(KnobMath, LevelKnobReachesOnly101ValuesByPointer) {
    EXPECT_EQ(KnobHandleCentre(Knob3, 1), (KnobPoint{36, 52}));
    EXPECT_EQ(KnobHandleCentre(Knob3, 11), (KnobPoint{36, 52}));
    EXPECT_EQ(KnobHandleCentre(Knob3, 512), (KnobPoint{42, 31})) << "drawn as it always was";
    EXPECT_EQ(KnobHandleCentre(Knob3, 1023), (KnobPoint{47, 52}));
    std::set<int> reachable;
    for (int deg = 0; deg < 360; ++deg)
        reachable.insert(PositionAtDegree(Knob3, deg));
    std::set<int> expected;
    for (int p = 0; p <= 100; ++p)
        expected.insert(1 + PercentToValue(p, 1022));
    EXPECT_EQ(reachable, expected);
    EXPECT_EQ(expected.size(), 101u);
    for (int v : {1, 11, 21, 31, 41, 52, 62, 1002, 1012, 1023})
        EXPECT_TRUE(expected.count(v)) << v;
}

// Presses in a direction of a whole degree select that degree's sector, not the one before:
// exactly left of the centre phi is 90 (2000 mV); at (66, 0), where |dx| / d is 1/2, it is 210.
TEST(KnobMath, PressesOnWholeDegreesSelectTheirSector) {
    for (int x = 0; x < 42; ++x)
        ASSERT_EQ(KnobPointerPosition(Knob3, x, 42), 205) << x;
    EXPECT_EQ(KnobPointerAngle(Knob3, 0, 42), 90.0);
    EXPECT_EQ(KnobPointerPosition(Knob3, 66, 0), 614);
    EXPECT_EQ(KnobPointerPosition(Knob3, 18, 0), 1 + PercentToValue(40, 1022)) << "150 degrees";
}

TEST(KnobMath, DeadZoneAndCentre) {
    EXPECT_EQ(KnobPointerPosition(Knob2, 41, 84), 0) << "left of straight down";
    EXPECT_EQ(KnobPointerPosition(Knob2, 43, 84), 15) << "right of straight down";
    EXPECT_EQ(KnobPointerPosition(Knob2, 42, 84), 0) << "straight down";
    EXPECT_EQ(KnobPointerPosition(Knob2, 42, 42), 0) << "the centre";
    const KnobGeometry flat{5, 5, 30, 22, 85, 85};
    EXPECT_EQ(KnobPointerPosition(flat, 80, 42), 5);
    EXPECT_EQ(KnobHandleAngle(flat, 5), 210);
}
