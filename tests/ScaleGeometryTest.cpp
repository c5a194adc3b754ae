#include "ScaleGeometry.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

std::vector<Segment> LongerThan(const std::vector<Segment>& all, int length) {
    std::vector<Segment> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                 [&](const Segment& s) { return std::abs(s.x1 - s.x0) + std::abs(s.y1 - s.y0) > length; });
    return out;
}

} // namespace

TEST(ScaleGeometry, LongTicksMarkEveryDivisionOfBothViews) {
    const auto ticks = ScreenTickMarks();
    const auto longTicks = LongerThan(ticks, 3);
    std::vector<Segment> want;
    for (int y = 30; y <= 280; y += 25) // ten divisions beside the time view
        want.push_back({24, y, 29, y});
    for (int x = 30; x <= 530; x += 25) // twenty under it
        want.push_back({x, 280, x, 286});
    for (int y = 350; y <= 470; y += 40) // 100 %, 66 %, 33 %, 0 % beside the spectrum
        want.push_back({24, y, 29, y});
    for (int x = 30; x <= 530; x += 25)
        want.push_back({x, 472, x, 478});
    EXPECT_EQ(longTicks, want);
    // Short ticks every 5 pixels: 51 + 101 on the time view, 26 + 101 on the spectrum view.
    EXPECT_EQ(ticks.size() - longTicks.size(), 51u + 101u + 26u + 101u);
    for (const Segment& t : ticks)
        EXPECT_TRUE(t.x1 == 29 || t.y0 == 280 || t.y0 == 472) << "every tick ends on a view's edge";
}

TEST(ScaleGeometry, PrintedGridLinesSpanTheView) {
    const auto grid = PrintGrid(30, 280, 30, 25, 286);
    const auto lines = LongerThan(grid, 6);
    ASSERT_EQ(lines.size(), 11u + 21u);
    EXPECT_EQ(lines.front(), (Segment{24, 30, 530, 30}));
    EXPECT_EQ(lines[10], (Segment{24, 280, 530, 280}));
    EXPECT_EQ(lines[11], (Segment{30, 286, 30, 30}));
    EXPECT_EQ(lines.back(), (Segment{530, 286, 530, 30}));
    const auto spectrum = LongerThan(PrintGrid(345, 470, 350, 40, 475), 6);
    EXPECT_EQ(spectrum[3], (Segment{24, 470, 530, 470})) << "the 0 % line is the bottom";
}

TEST(ScaleGeometry, TriggerLineRowFollowsLevelAndRangeAndStopsAtTheTop) {
    EXPECT_EQ(TriggerLineTop(1, 40), 279);         // 10 mV: the bottom row
    EXPECT_EQ(TriggerLineTop(500, 40), 279 - 125); // 5 V at 1 V per division: half way
    EXPECT_EQ(TriggerLineTop(500, 4), 30);         // far above the view at 0,1 V
    EXPECT_EQ(TriggerLineTop(999, 40), 279 - 249); // 9990 mV: the top row
}
