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
