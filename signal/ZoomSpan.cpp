#include "ZoomSpan.h"

#include <algorithm>

namespace {

Span Inside(Span s, Span limit) {
    if (s.Width() >= limit.Width())
        return limit;
    const double w = s.Width();
    const double lo = std::clamp(s.lo, limit.lo, limit.hi - w);
    return {lo, lo == limit.hi - w ? limit.hi : lo + w}; // the end itself, not a rounding short of it
}

} // namespace

Span ZoomAbout(Span s, double anchor, double factor, Span limit, double minWidth) {
    const double width = std::clamp(s.Width() * factor, std::min(minWidth, limit.Width()), limit.Width());
    const double lo = anchor - (anchor - s.lo) * width / s.Width();
    return Inside({lo, lo + width}, limit);
}

Span PanBy(Span s, double delta, Span limit) {
    return Inside({s.lo + delta, s.hi + delta}, limit);
}

Span Between(double a, double b, Span limit, double minWidth) {
    const double lo = std::min(a, b), hi = std::max(a, b);
    const double centre = (lo + hi) / 2, width = std::max(hi - lo, std::min(minWidth, limit.Width()));
    return Inside({centre - width / 2, centre + width / 2}, limit);
}

double ToPixel(const Span& s, double value, double pixels) {
    return (value - s.lo) / s.Width() * pixels;
}

double FromPixel(const Span& s, double pixel, double pixels) {
    return s.lo + pixel / pixels * s.Width();
}
