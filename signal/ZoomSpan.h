#pragma once
// The part of an axis a zoomable view shows: zoomed about a point, panned, and
// kept within what there is to see, never narrower than a least width.

struct Span {
    double lo = 0, hi = 1;
    double Width() const { return hi - lo; }
    bool operator==(const Span&) const = default;
};

// The span `factor` times as wide (below 1: zoomed in) with `anchor` where it was, as far as
// the limits allow: no narrower than minWidth, no wider than limit, inside limit.
Span ZoomAbout(Span s, double anchor, double factor, Span limit, double minWidth);
// The span moved by delta, stopped at limit's ends.
Span PanBy(Span s, double delta, Span limit);
// From one to another value (either order) as far as the limits allow.
Span Between(double a, double b, Span limit, double minWidth);

// Where a value falls on a line of `pixels` showing the span, and back.
double ToPixel(const Span& s, double value, double pixels);
double FromPixel(const Span& s, double pixel, double pixels);
