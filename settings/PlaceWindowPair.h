#pragma once
// Where the main window and the tool window go: side by side, the pair centred
// horizontally on the work area and the tool window centred vertically.
// All sizes are outer sizes; divisions truncate toward zero.

struct WinSize {
    int width = 0;
    int height = 0;
};

struct WinPos {
    int left = 0;
    int top = 0;
    bool operator==(const WinPos&) const = default;
};

struct PairPlacement {
    WinPos w1;
    WinPos w2;
};

PairPlacement PlaceWindowPair(WinSize workArea, WinSize w1, WinSize w2);

// The main window flush left of the tool window, tops aligned.
WinPos DockLeftOf(WinPos w2, WinSize w1);

struct WinRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A side window beside the pair (`pair`: both windows' frames together) on the work area:
// right of the pair where it fits, else left of it, else right of it with the pair moved
// left just as far as it takes, when the pair and the window fit side by side at all; else
// right of the pair pulled back onto the work area. Its top level with the pair's top, or
// (bottom) its bottom level with the pair's bottom, never above the work area.
struct SidePlacement {
    WinPos window;
    int pairShift = 0; // added to the pair's left
};
SidePlacement PlaceSideWindow(WinRect area, WinRect pair, WinSize window, bool bottom);
