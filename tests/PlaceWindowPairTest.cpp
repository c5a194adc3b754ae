#include "PlaceWindowPair.h"

#include <gtest/gtest.h>

TEST(PlaceWindowPair, CentresThePairAndDocksTheMainWindowLeft) {
    const auto p = PlaceWindowPair({1024, 740}, {584, 545}, {168, 545});
    EXPECT_EQ(p.w2, (WinPos{720, 98}));
    EXPECT_EQ(p.w1, (WinPos{136, 98}));
}

TEST(PlaceWindowPair, DivisionsTruncateTowardZeroAndNothingIsBounded) {
    const auto p = PlaceWindowPair({501, 301}, {584, 545}, {169, 546});
    EXPECT_EQ(p.w2, (WinPos{250 + 584 - 376, 150 - 273}));
    EXPECT_EQ(p.w1, (WinPos{250 - 376, 150 - 273}));
    EXPECT_EQ(DockLeftOf({10, 20}, {584, 0}), (WinPos{-574, 20}));
}

// A 740-pixel pair centred on a 960-pixel work area (1920 at scale 2) leaves 110 pixels each
// side: a 146-pixel side window fits only if the pair moves left.
TEST(PlaceWindowPair, ASideWindowGoesClearOfThePairWhereverThereIsRoom) {
    const WinRect pair{110, 100, 740, 545};
    const auto at = [&](int areaWidth, WinRect p = {110, 100, 740, 545}) {
        return PlaceSideWindow({0, 0, areaWidth, 540}, p, {146, 300}, false);
    };
    EXPECT_EQ(at(1024).window, (WinPos{850, 100})) << "right of the pair";
    EXPECT_EQ(at(1024).pairShift, 0);
    EXPECT_EQ(at(1024, {300, 100, 740, 545}).window, (WinPos{154, 100})) << "no room right: left of it";
    const SidePlacement scaled = at(960);
    EXPECT_EQ(scaled.pairShift, -36);
    EXPECT_EQ(scaled.window, (WinPos{814, 100})) << "the pair moved over";
    const SidePlacement tooNarrow = at(800);
    EXPECT_EQ(tooNarrow.pairShift, 0);
    EXPECT_EQ(tooNarrow.window.left, 654) << "all cannot fit: pulled onto the work area";
    EXPECT_EQ(PlaceSideWindow({0, 0, 1024, 540}, pair, {146, 300}, true).window.top, 345) << "bottoms level";
    EXPECT_EQ(PlaceSideWindow({0, 0, 1024, 540}, {110, -50, 740, 300}, {146, 300}, true).window.top, 0)
        << "never above the work area";
}
