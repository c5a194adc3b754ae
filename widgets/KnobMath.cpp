#include "KnobMath.h"

#include <cmath>
#include <cstdint>

namespace {
// Pi in extended precision for presses: rounded to single precision it lands a press in a
// direction of a whole degree (straight left, for one) just below that degree, one step off.
constexpr long double kPi = 3.14159265358979323846264338327950288L;
// The handle keeps the places it has always been drawn at, which come from pi rounded to single
// precision (straight up on the level knob: 42, 31, not the full radius above the centre).
constexpr long double kDrawingPi = static_cast<float>(kPi);
} // namespace

int ValueToPercent(int v, int range) {
    if (range == 0)
        return 0;
    return int(std::int64_t(std::trunc(static_cast<long double>(v) * 100 / range)));
}

int PercentToValue(int p, int range) {
    const long double fraction = static_cast<long double>(p) * 0.01L; // rounded to extended first
    return int(std::int64_t(std::trunc(range * fraction)));
}

int KnobHandleAngle(const KnobGeometry& g, int position) {
    const int pct = ValueToPercent(position - g.minValue, g.maxValue - g.minValue);
    return PercentToValue(pct, 360 - 2 * g.baseAngle) + g.baseAngle + 180;
}

KnobPoint KnobHandleCentre(const KnobGeometry& g, int position) {
    const double theta = double(KnobHandleAngle(g, position) * kDrawingPi / 180);
    const int r = g.radius - 10;
    return {g.width / 2 + int(std::trunc(r * std::sin(theta))),
            g.height / 2 - int(std::trunc(r * std::cos(theta)))};
}

double KnobPointerAngle(const KnobGeometry& g, int x, int y) {
    const int cx = g.width / 2, cy = g.height / 2;
    const int dx = x - cx, dy = y - cy;
    double d = std::nearbyint(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (d == 0)
        d = 0.0001;
    double a;
    if (y < cy) {
        a = std::asin(dx / d);
    } else {
        a = std::asin(-dx / d);
        a = dx > 0 ? a + double(kPi) : a - double(kPi);
    }
    return a * 180 / double(kPi) + 180;
}

int KnobPointerPosition(const KnobGeometry& g, int x, int y) {
    double phi = KnobPointerAngle(g, x, y);
    if (phi < g.baseAngle)
        phi = g.baseAngle;
    if (phi > 360 - g.baseAngle)
        phi = 360 - g.baseAngle;
    const int pct = ValueToPercent(int(std::trunc(phi)) - g.baseAngle, 360 - 2 * g.baseAngle);
    return g.minValue + PercentToValue(pct, g.maxValue - g.minValue);
}
