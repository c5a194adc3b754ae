#include "ScaleGeometry.h"

#include <algorithm>

std::vector<Segment> ScreenTickMarks() {
    std::vector<Segment> ticks;
    for (int y = 30; y <= 280; y += 5)
        ticks.push_back({26, y, 29, y});
    for (int y = 30; y <= 280; y += 25)
        ticks.push_back({24, y, 29, y});
    for (int x = 30; x <= 530; x += 5)
        ticks.push_back({x, 280, x, 283});
    for (int x = 30; x <= 530; x += 25)
        ticks.push_back({x, 280, x, 286});
    for (int y = 345; y <= 470; y += 5)
        ticks.push_back({26, y, 29, y});
    for (int y = 350; y <= 470; y += 40)
        ticks.push_back({24, y, 29, y});
    for (int x = 30; x <= 530; x += 5)
        ticks.push_back({x, 472, x, 475});
    for (int x = 30; x <= 530; x += 25)
        ticks.push_back({x, 472, x, 478});
    return ticks;
}

std::vector<Segment> PrintGrid(int top, int bottom, int longFirst, int longStep, int lineFoot) {
    std::vector<Segment> grid;
    for (int y = top; y <= bottom; y += 5)
        grid.push_back({26, y, 29, y});
    for (int y = longFirst; y <= bottom; y += longStep)
        grid.push_back({24, y, 530, y});
    for (int x = 30; x <= 530; x += 5)
        grid.push_back({x, bottom, x, bottom + 3});
    for (int x = 30; x <= 530; x += 25)
        grid.push_back({x, lineFoot, x, top});
    return grid;
}

int TriggerLineTop(int levelTens, int mvPerRow) {
    return 30 + 249 - std::min(levelTens * 10 / mvPerRow, 249);
}
