#pragma once
// Where the fixed marks of the views go, in window (or unscaled page) pixels:
// the tick marks beside and under both views, the printed grid, and the row
// of the trigger line.

#include <vector>

// A line from (x0, y0) to (x1, y1).
struct Segment {
    int x0, y0, x1, y1;
    bool operator==(const Segment&) const = default;
};

// The window's tick marks: short every 5 pixels, long every 25 (time view)
// or 40 rows (spectrum view); drawn with the end point left out.
std::vector<Segment> ScreenTickMarks();

// One printed view's grid: short ticks at the left every 5 rows, long lines
// every longStep rows from longFirst, short ticks under it every 5 columns,
// vertical lines every 25 columns from lineFoot up to top.
std::vector<Segment> PrintGrid(int top, int bottom, int longFirst, int longStep, int lineFoot);

// Top of the one-pixel trigger line: the level's row above the time view's
// bottom (row 279), never above its top row nor below its bottom row; the
// view's bottom stands at positionMv, a multiple of mvPerRow.
int TriggerLineTop(int levelTens, int mvPerRow, int positionMv = 0);
