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
