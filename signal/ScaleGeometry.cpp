#include "ScaleGeometry.h"

#include "ScreenGeometry.h"

#include <algorithm>

using namespace screen;

namespace {

// Ticks left of a view's rows, and under its columns from the row `below`.
void LeftTicks(std::vector<Segment>& ticks, int top, int bottom, int step, int left) {
    for (int y = top; y <= bottom; y += step)
        ticks.push_back({left, y, TickRight, y});
}

void ColumnTicks(std::vector<Segment>& ticks, int below, int step, int length) {
    for (int x = ViewOrigin.x; x <= TimeViewRect.right; x += step)
        ticks.push_back({x, below, x, below + length});
}

} // namespace

std::vector<Segment> ScreenTickMarks() {
    std::vector<Segment> ticks;
    const Rect& t = TimeViewRect;
    LeftTicks(ticks, t.top, t.bottom, TickStep, ShortTickLeft);
    LeftTicks(ticks, t.top, t.bottom, Division, LongTickLeft);
    ColumnTicks(ticks, t.bottom, TickStep, ShortTickBelow);
    ColumnTicks(ticks, t.bottom, Division, LongTickBelow);
    const int spectrumTop = SpectrumViewRect.top - 1;
    const int spectrumBelow = SpectrumViewRect.bottom + 1;
    LeftTicks(ticks, spectrumTop, SpectrumLastY, TickStep, ShortTickLeft);
    LeftTicks(ticks, SpectrumLastY - 3 * SpectrumScaleStep, SpectrumLastY, SpectrumScaleStep, LongTickLeft);
    ColumnTicks(ticks, spectrumBelow, TickStep, ShortTickBelow);
    ColumnTicks(ticks, spectrumBelow, Division, LongTickBelow);
    return ticks;
}

std::vector<Segment> PrintGrid(int top, int bottom, int longFirst, int longStep, int lineFoot) {
    std::vector<Segment> grid;
    LeftTicks(grid, top, bottom, TickStep, ShortTickLeft);
    for (int y = longFirst; y <= bottom; y += longStep)
        grid.push_back({LongTickLeft, y, TimeViewRect.right, y});
    ColumnTicks(grid, bottom, TickStep, ShortTickBelow);
    for (int x = ViewOrigin.x; x <= TimeViewRect.right; x += Division)
        grid.push_back({x, lineFoot, x, top});
    return grid;
}

int TriggerLineTop(int levelTens, int mvPerRow, int positionMv) {
    return RowY(std::clamp(levelTens * 10 / mvPerRow - positionMv / mvPerRow, 0, HighestRow));
}
