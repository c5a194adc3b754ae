#include "PlaceWindowPair.h"

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
