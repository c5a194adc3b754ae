#include "PlaceWindowPair.h"

#include <algorithm>

PairPlacement PlaceWindowPair(WinSize workArea, WinSize w1, WinSize w2) {
    PairPlacement p;
    p.w2.left = workArea.width / 2 + w1.width - (w1.width + w2.width) / 2;
    p.w2.top = workArea.height / 2 - w2.height / 2;
    p.w1 = DockLeftOf(p.w2, w1);
    return p;
}

WinPos DockLeftOf(WinPos w2, WinSize w1) {
    return {w2.left - w1.width, w2.top};
}

SidePlacement PlaceSideWindow(WinRect area, WinRect pair, WinSize window, bool bottom) {
    SidePlacement p;
    const int areaRight = area.left + area.width;
    const int pairRight = pair.left + pair.width;
    if (pairRight + window.width <= areaRight) {
        p.window.left = pairRight;
    } else if (pair.left - window.width >= area.left) {
        p.window.left = pair.left - window.width;
    } else if (pair.width + window.width <= area.width) {
        p.pairShift = areaRight - window.width - pairRight;
        p.window.left = areaRight - window.width;
    } else {
        p.window.left = std::max(area.left, areaRight - window.width);
    }
    p.window.top = bottom ? std::max(area.top, pair.top + pair.height - window.height) : pair.top;
    return p;
}
