#pragma once
// Where the two views sit in the main window's client area, named once; the
// printed page uses the same numbers, scaled. A rectangle's right and bottom
// are one past its last column and row; the time view's bottom is also the
// row of its axis line.

namespace screen {

struct Rect {
    int left, top, right, bottom;
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

struct Point {
    int x, y;
};

inline constexpr int ClientWidth = 578; // the main window's client area
inline constexpr int ClientHeight = 519;

inline constexpr Point ViewOrigin{30, 30};
inline constexpr Rect TimeViewRect{30, 30, 530, 280};
inline constexpr Rect SpectrumViewRect{30, 346, 530, 471};

inline constexpr int Division = 25;                               // pixels between grid lines
inline constexpr int TickStep = 5;                                // pixels between short tick marks
inline constexpr int SpectrumScaleStep = 40;                      // rows between the spectrum's scale marks
inline constexpr int Columns = TimeViewRect.Width();              // one sample per column
inline constexpr int TimeRows = TimeViewRect.Height();            // rows of the time view
inline constexpr int HighestRow = TimeRows - 1;                   // a sample's row is limited to it
inline constexpr int SpectrumRows = SpectrumViewRect.Height();    // rows of the spectrum view
inline constexpr int SpectrumLastY = SpectrumViewRect.bottom - 1; // the spectrum's zero row
// The spectrum's scale, top down, beside the view and on the printed page.
inline constexpr const char* SpectrumPercents[] = {"100%", "66%", "33%", "0%"};

// Tick marks left of a view end at the column before it; short ones are 3
// pixels long, long ones 5; those under a view are 3 and 6 pixels long.
inline constexpr int TickRight = ViewOrigin.x - 1;
inline constexpr int ShortTickLeft = TickRight - 3;
inline constexpr int LongTickLeft = TickRight - 5;
inline constexpr int ShortTickBelow = 3;
inline constexpr int LongTickBelow = 6;

// The strip above the time view where the two marker pictures slide.
inline constexpr Rect MarkerTrack{TimeViewRect.left - 1, TimeViewRect.top - 12, TimeViewRect.right + 1,
                                  TimeViewRect.top};
// The marker picture's line is its column 4.
inline constexpr int MarkerLineColumn = 4;

// Window column of a sample column, window row of a time-view row (row 0 at the bottom).
constexpr int ColumnX(int column) {
    return TimeViewRect.left + column;
}
constexpr int RowY(int row) {
    return TimeViewRect.bottom - 1 - row;
}
// Left edge of a marker picture whose line is on a sample column.
constexpr int MarkerPictureLeft(int column) {
    return ColumnX(column) - MarkerLineColumn;
}
// A view's bevel: one pixel round it.
constexpr Rect Framed(Rect r) {
    return {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
}

} // namespace screen
